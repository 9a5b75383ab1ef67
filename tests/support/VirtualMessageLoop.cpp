#include "tests/support/VirtualMessageLoop.h"

#include "platform/Timer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace kirvan::testing {

namespace {
// A wait that cannot end stops the test instead of hanging it.
constexpr auto realTimeStallLimit = std::chrono::seconds(20);
constexpr std::int64_t virtualStallLimitMs = 24LL * 3600 * 1000;

[[noreturn]] void stalled(const char* what)
{
    std::fprintf(stderr, "VirtualMessageLoop: %s\n", what);
    std::abort();
}
} // namespace

class VirtualMessageLoop::VirtualTimer final : public Timer {
public:
    explicit VirtualTimer(VirtualMessageLoop& loop) : Timer(loop), loop_(loop) { loop_.timers_.push_back(this); }
    ~VirtualTimer() override { std::erase(loop_.timers_, this); }

    bool armed = false;
    std::int64_t due = 0;
    std::uint64_t sequence = 0;

    void rearm() override
    {
        armed = enabled() && interval() > 0;
        if (armed) {
            due = loop_.now() + interval();
            sequence = ++loop_.armSequence_;
        }
    }
    using Timer::fire;

private:
    VirtualMessageLoop& loop_;
};

VirtualMessageLoop::VirtualMessageLoop() : mainThread_(std::this_thread::get_id()) {}

VirtualMessageLoop::~VirtualMessageLoop() = default;

std::unique_ptr<Timer> VirtualMessageLoop::createTimer()
{
    return std::make_unique<VirtualTimer>(*this);
}

bool VirtualMessageLoop::isMainThread() const
{
    return std::this_thread::get_id() == mainThread_;
}

VirtualMessageLoop::VirtualTimer* VirtualMessageLoop::nextDueTimer() const
{
    VirtualTimer* next = nullptr;
    for (auto* timer : timers_) {
        if (!timer->armed)
            continue;
        if (!next || timer->due < next->due || (timer->due == next->due && timer->sequence < next->sequence))
            next = timer;
    }
    return next;
}

void VirtualMessageLoop::fireTimer(VirtualTimer& timer)
{
    now_ = std::max(now_.load(), timer.due);
    // The next period starts when this one is taken up, as a window timer's does; so a handler
    // that waits longer than the period sees its own timer fire inside that wait.
    timer.rearm();
    timer.fire();
}

bool VirtualMessageLoop::runOneRoutine()
{
    Routine* next = nullptr;
    {
        std::lock_guard lock(mutex_);
        if (routines_.empty())
            return false;
        next = routines_.front();
        routines_.pop_front();
    }
    runHandler(*next->routine);
    {
        std::lock_guard lock(mutex_);
        next->done = true;
    }
    changed_.notify_all();
    return true;
}

void VirtualMessageLoop::waitForRoutine()
{
    std::unique_lock lock(mutex_);
    const bool arrived = changed_.wait_for(lock, realTimeStallLimit, [this] { return !routines_.empty() || woken_; });
    if (!arrived)
        stalled("a wait with no timer running received nothing from any thread");
    woken_ = false;
}

bool VirtualMessageLoop::waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    constexpr auto never = std::numeric_limits<std::int64_t>::max();
    const std::int64_t start = now_;
    const std::int64_t deadline = timeoutMs < 0 ? never : start + timeoutMs;
    const std::uint64_t stops = stopRequests();
    while (!done()) {
        if (stopRequests() != stops)
            return false;
        if (runOneRoutine())
            continue;
        if (VirtualTimer* timer = nextDueTimer(); timer && timer->due <= deadline) {
            if (timer->due - start > virtualStallLimitMs)
                stalled("a wait has run for a virtual day without its condition coming true");
            fireTimer(*timer);
            continue;
        }
        if (deadline != never) {
            now_ = std::max(now_.load(), deadline);
            return done();
        }
        waitForRoutine();
    }
    return true;
}

void VirtualMessageLoop::advance(std::int64_t ms)
{
    const std::int64_t target = now_ + ms;
    for (;;) {
        if (runOneRoutine())
            continue;
        VirtualTimer* timer = nextDueTimer();
        if (!timer || timer->due > target)
            break;
        fireTimer(*timer);
    }
    now_ = std::max(now_.load(), target);
}

void VirtualMessageLoop::synchronize(const std::function<void()>& routine)
{
    if (isMainThread()) {
        runHandler(routine);
        return;
    }
    Routine handed{&routine};
    std::unique_lock lock(mutex_);
    routines_.push_back(&handed);
    changed_.notify_all();
    changed_.wait(lock, [&] { return handed.done; });
}

void VirtualMessageLoop::serveHandOvers()
{
    while (runOneRoutine()) {}
}

std::size_t VirtualMessageLoop::pendingRoutines()
{
    std::lock_guard lock(mutex_);
    return routines_.size();
}

void VirtualMessageLoop::wake()
{
    {
        std::lock_guard lock(mutex_);
        woken_ = true;
    }
    changed_.notify_all();
}

} // namespace kirvan::testing
