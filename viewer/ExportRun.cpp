#include "viewer/ExportRun.h"

#include "app/GuardedSlot.h"
#include "platform/Timer.h"
#include "platform/Worker.h"

#include <QProgressDialog>
#include <climits>
#include <stdexcept>

namespace kirvan {

namespace {

int shownRows(std::size_t rows)
{
    return int(std::min<std::size_t>(rows, INT_MAX));
}

} // namespace

ExportRun::ExportRun(MessageLoop& loop, Workers& workers)
    : loop_(loop), shown_(loop.createTimer()), worker_(workers.create())
{
    shown_->setInterval(100);
    shown_->setOnTimer([this] { dialog_->setValue(shownRows(progress_->rowsDone)); });
}

ExportRun::~ExportRun() = default;

void ExportRun::start(QWidget* owner, const QString& label, std::size_t rows, Work work)
{
    if (running_)
        return;
    running_ = true;
    progress_ = std::make_shared<ExportProgress>();
    // Not modal: a modal progress dialog processes messages inside setValue.
    dialog_ = new QProgressDialog(label, QStringLiteral("Отмена"), 0, shownRows(rows), owner);
    dialog_->setWindowModality(Qt::NonModal);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setMinimumDuration(0);
    dialog_->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog_, &QProgressDialog::canceled, dialog_, guardedSlot(loop_, [this] { cancel(); }));
    shown_->setEnabled(true);
    dialog_->show();
    worker_->post([this, progress = progress_, work = std::move(work)](std::stop_token stop) -> Worker::Routine {
        const std::stop_callback cancelled(stop, [&progress] { progress->cancelled = true; });
        const QString failure = work(*progress);
        return [this, failure] {
            end();
            if (!failure.isEmpty())
                throw std::runtime_error(failure.toStdString());
        };
    });
}

void ExportRun::cancel()
{
    // Closing the dialog at the end says "cancelled" too.
    if (!running_)
        return;
    worker_->cancel();
    end();
}

void ExportRun::end()
{
    running_ = false;
    shown_->setEnabled(false);
    if (dialog_)
        dialog_->close();
}

} // namespace kirvan
