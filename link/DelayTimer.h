#pragma once

#include "platform/MessageLoop.h"
#include "platform/Timer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace kirvan {

// Timer1 with the waits built on it. A Delay keeps processing messages until Timer1 has expired
// past its own end, so the handlers of other timers, of received frames and of menu commands run
// meanwhile. Waits nest: a Delay started inside another one's wait re-arms Timer1 for whichever
// end comes first, and each Delay returns no earlier than its own time.
class DelayTimer {
public:
    explicit DelayTimer(MessageLoop& loop);

    void Delay(int ms);

    // Set by every expiry of Timer1. Two operator commands clear it and wait for the next
    // expiry that another operation's Delay brings.
    bool DelayDone() const { return delayDone_; }
    void clearDelayDone() { delayDone_ = false; }

    // Runs after every expiry (the status bar shows the link state there).
    void setOnExpiry(std::function<void()> handler) { onExpiry_ = std::move(handler); }

    const Timer& Timer1() const { return *timer1_; }

private:
    struct PendingDelay {
        std::uint64_t id;
        std::int64_t end;
    };

    void Timer1Timer();
    void armForEarliestEnd();
    bool isPending(std::uint64_t id) const;

    MessageLoop& loop_;
    std::unique_ptr<Timer> timer1_;
    bool delayDone_ = false;
    std::uint64_t lastId_ = 0;
    std::vector<PendingDelay> pending_;
    std::function<void()> onExpiry_;
};

} // namespace kirvan
