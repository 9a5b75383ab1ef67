#include "viewer/ExportRun.h"

#include <QApplication>
#include <QPointer>
#include <QProgressDialog>
#include <QThreadPool>
#include <QTimer>
#include <memory>

namespace kirvan {

void runExport(QWidget* owner, const QString& label, std::size_t rows,
               std::function<ExportEnd(ExportProgress& progress)> work, std::function<void(ExportEnd end)> done)
{
    const auto progress = std::make_shared<ExportProgress>();
    // Not modal: a modal progress dialog processes messages inside setValue.
    auto* dialog = new QProgressDialog(label, QStringLiteral("Отмена"), 0, int(std::min<std::size_t>(rows, INT_MAX)), owner);
    dialog->setWindowModality(Qt::NonModal);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    dialog->setMinimumDuration(0);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QProgressDialog::canceled, dialog, [progress] { progress->cancelled = true; });
    auto* shown = new QTimer(dialog);
    QObject::connect(shown, &QTimer::timeout, dialog,
                     [dialog, progress] { dialog->setValue(int(std::min<std::size_t>(progress->rowsDone, INT_MAX))); });
    shown->start(100);
    dialog->show();
    QThreadPool::globalInstance()->start(
        [progress, work = std::move(work), done = std::move(done), owner = QPointer<QWidget>(owner),
         dialog = QPointer<QProgressDialog>(dialog)] {
            const ExportEnd end = work(*progress);
            QMetaObject::invokeMethod(qApp, [owner, dialog, done, end] {
                if (dialog)
                    dialog->close();
                if (owner)
                    done(end);
            });
        });
}

} // namespace kirvan
