#pragma once

#include "platform/MessageLoop.h"
#include "platform/Timer.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace kirvan {

// sendPauseTimer with the waits built on it. A Delay keeps processing messages until sendPauseTimer has expired
// past its own end, so the handlers of other timers, of received frames and of menu commands run
// meanwhile. Waits nest: a Delay started inside another one's wait re-arms sendPauseTimer for whichever
// end comes first, and each Delay returns no earlier than its own time.
class DelayTimer {
public:
    explicit DelayTimer(MessageLoop& loop);

    // Returns early only when the program is asked to stop.
    void delay(int ms);

    // Set by every expiry of sendPauseTimer.
    bool delayDone() const { return delayDone_; }
    // Runs `next` once, at the next expiry that another operation's Delay brings (normally the
    // pause of the next frame sent). The control checks go on from there instead of waiting:
    // a wait for it inside a polling tick would hold open the very tick whose frame it needs.
    void afterNextExpiry(std::function<void()> next) { afterNextExpiry_.push_back(std::move(next)); }

    // Runs after every expiry (the status bar shows the link state there).
    void setOnExpiry(std::function<void()> handler) { onExpiry_ = std::move(handler); }

    const Timer& sendPauseTimer() const { return *timer1_; }

private:
    struct PendingDelay {
        std::uint64_t id;
        std::int64_t end;
    };

    void onSendPause();
    void armForEarliestEnd();
    bool isPending(std::uint64_t id) const;

    MessageLoop& loop_;
    std::unique_ptr<Timer> timer1_;
    bool delayDone_ = false;
    std::uint64_t lastId_ = 0;
    std::vector<PendingDelay> pending_;
    std::function<void()> onExpiry_;
    std::vector<std::function<void()>> afterNextExpiry_;
};

} // namespace kirvan
