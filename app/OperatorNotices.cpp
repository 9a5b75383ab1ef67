#include "app/OperatorNotices.h"

#include "platform/Dialogs.h"
#include "platform/MessageLoop.h"
#include "platform/Timer.h"

namespace kirvan {

OperatorNotices::OperatorNotices(MessageLoop& loop, Dialogs& dialogs) : dialogs_(dialogs), timer_(loop.createTimer())
{
    timer_->setInterval(1);
    timer_->setOnTimer([this] { showWaiting(); });
}

OperatorNotices::~OperatorNotices() = default;

void OperatorNotices::post(const QString& caption, const QString& text)
{
    if (waiting_.size() == MaxWaiting)
        waiting_.pop_front();
    waiting_.emplace_back(caption, text);
    timer_->setEnabled(true);
}

void OperatorNotices::showWaiting()
{
    timer_->setEnabled(false);
    while (!waiting_.empty()) {
        const auto [caption, text] = waiting_.front();
        waiting_.pop_front();
        dialogs_.notice(caption, text, Dialogs::Icon::Warning);
    }
}

} // namespace kirvan
