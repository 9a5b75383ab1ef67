#include "mailbox/Mailbox.h"

#include "files/PathCase.h"
#include "link/CommandQueue.h"
#include "platform/MessageLoop.h"
#include "platform/StatusBar.h"
#include "platform/Timer.h"
#include "platform/Worker.h"

#include <QFileInfo>

namespace kirvan {

Mailbox::Mailbox(MessageLoop& loop, QString path, CommandQueue& queue, StatusBar& statusBar,
                 std::unique_ptr<Worker> worker)
    : timer5_(loop.createTimer()),
      path_(path),
      queue_(queue),
      statusBar_(statusBar),
      reader_(std::move(path)),
      worker_(std::move(worker))
{
    timer5_->setInterval(IntervalMs);
    timer5_->setOnTimer([this] { readMailbox(); });
}

Mailbox::~Mailbox() = default;

void Mailbox::bind()
{
    if (QFileInfo::exists(resolvePathCase(path_)))
        timer5_->setEnabled(true);
}

void Mailbox::readMailbox()
{
    if (worker_->busy())
        return;
    // A look whose outcome never came back (its job failed) gives its room back.
    if (holdingRoom_) {
        queue_.release();
        holdingRoom_ = false;
    }
    // Without room for its command a request stays pending in the file, to be taken later.
    if (!queue_.reserve())
        return;
    holdingRoom_ = true;
    worker_->post([this](std::stop_token) -> Worker::Routine {
        const MailboxReader::Outcome outcome = reader_.take();
        return [this, outcome] { apply(outcome); };
    });
}

void Mailbox::apply(const MailboxReader::Outcome& outcome)
{
    if (holdingRoom_) {
        queue_.release();
        holdingRoom_ = false;
    }
    if (outcome.request) {
        // The room held for it is free again just now, so the command finds it.
        if (!queue_.queueCommand(outcome.request->command))
            throw MailboxError(QStringLiteral("Запрос из файла команд %1 отмечен, но не поставлен в очередь команд: %2")
                                   .arg(path_, outcome.request->journal));
        statusBar_.setCommandPanel(outcome.request->text);
        if (onCarriedOut_)
            onCarriedOut_(outcome.request->journal);
    }
    if (!outcome.problem) {
        reported_.clear();
        return;
    }
    // Remembered before the report: the message box keeps the timers running meanwhile.
    if (*outcome.problem == reported_)
        return;
    reported_ = *outcome.problem;
    throw MailboxError(*outcome.problem);
}

} // namespace kirvan
