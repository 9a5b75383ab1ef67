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
    worker_->post([this](std::stop_token) -> Worker::Routine {
        const MailboxReader::Outcome outcome = reader_.take();
        return [this, outcome] { apply(outcome); };
    });
}

void Mailbox::apply(const MailboxReader::Outcome& outcome)
{
    if (outcome.request) {
        statusBar_.setCommandPanel(outcome.request->text);
        const Command& c = outcome.request->command;
        queue_.queueCommand(c.address, c.code, c.parameterA, c.parameterB);
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
