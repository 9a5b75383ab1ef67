#include "link/DelayTimer.h"

#include <algorithm>
#include <utility>

namespace kirvan {

DelayTimer::DelayTimer(MessageLoop& loop) : loop_(loop), timer1_(loop.createTimer())
{
    timer1_->setOnTimer([this] { onSendPause(); });
}

void DelayTimer::delay(int ms)
{
    const std::uint64_t id = ++lastId_;
    pending_.push_back({id, loop_.now() + std::max(ms, 0)});
    delayDone_ = false;
    armForEarliestEnd();
    if (!loop_.waitUntil([this, id] { return !isPending(id); })) {
        std::erase_if(pending_, [id](const PendingDelay& delay) { return delay.id == id; });
        armForEarliestEnd();
    }
}

bool DelayTimer::isPending(std::uint64_t id) const
{
    return std::any_of(pending_.begin(), pending_.end(), [id](const PendingDelay& delay) { return delay.id == id; });
}

void DelayTimer::armForEarliestEnd()
{
    timer1_->setEnabled(false);
    if (pending_.empty())
        return;
    const auto earliest = std::min_element(pending_.begin(), pending_.end(),
                                           [](const PendingDelay& a, const PendingDelay& b) { return a.end < b.end; });
    // A timer of interval 0 never fires, so an end already reached still takes one tick.
    timer1_->setInterval(static_cast<int>(std::max<std::int64_t>(earliest->end - loop_.now(), 1)));
    timer1_->setEnabled(true);
}

void DelayTimer::onSendPause()
{
    timer1_->setEnabled(false);
    const std::int64_t now = loop_.now();
    std::erase_if(pending_, [now](const PendingDelay& delay) { return delay.end <= now; });
    delayDone_ = true;
    armForEarliestEnd();
    if (onExpiry_)
        onExpiry_();
    // Those asked for inside one of them wait for the expiry after this one.
    for (const auto& next : std::exchange(afterNextExpiry_, {}))
        loop_.runHandler(next);
}

} // namespace kirvan
