#include "tests/serial/ManualPortClock.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace kirvan::testing {

namespace {
// A wait of the test's own thread that nothing ends stops the test instead of hanging it.
constexpr auto stallLimit = std::chrono::seconds(20);
} // namespace

ManualPortClock::ManualPortClock() : owner_(std::this_thread::get_id()) {}

void ManualPortClock::pause(int ms)
{
    if (std::this_thread::get_id() == owner_)
        advance(ms);
    else
        PortClock::pause(ms);
}

void ManualPortClock::advance(std::int64_t ms)
{
    {
        std::lock_guard lock(mutex());
        now_ += ms;
    }
    changed().notify_all();
}

void ManualPortClock::setFreeRunning(bool on)
{
    {
        std::lock_guard lock(mutex());
        freeRunning_ = on;
    }
    changed().notify_all();
}

void ManualPortClock::block(std::unique_lock<std::mutex>& lock, std::int64_t deadline, const PortSignal* awaited)
{
    if (std::this_thread::get_id() == owner_) {
        // The test's thread only waits for a worker's start, which comes at once.
        if (changed().wait_for(lock, stallLimit) == std::cv_status::timeout) {
            std::fprintf(stderr, "ManualPortClock: no thread set %s\n", awaited ? awaited->name() : "anything");
            std::abort();
        }
        return;
    }
    if (freeRunning_ && deadline >= 0) {
        now_ = std::max(now_.load(), deadline);
        return;
    }
    const std::string what = awaited ? awaited->name() : "pause";
    waiters_.push_back({workers_[std::this_thread::get_id()], what, awaited, deadline});
    if (onWait_)
        onWait_();
    changed().wait(lock);
    waiters_.erase(std::find_if(waiters_.begin(), waiters_.end(), [&](const Waiter& waiter) {
        return waiter.what == what && waiter.signal == awaited && waiter.deadline == deadline;
    }));
}

bool ManualPortClock::waiting(const std::string& worker, const std::string& signalName)
{
    std::lock_guard lock(mutex());
    return std::any_of(waiters_.begin(), waiters_.end(), [&](const Waiter& waiter) {
        const bool ended = (waiter.signal && isSet(*waiter.signal))
                           || (waiter.deadline >= 0 && now_.load() >= waiter.deadline);
        return waiter.worker == worker && waiter.what == signalName && !ended;
    });
}

void ManualPortClock::setOnWait(std::function<void()> handler)
{
    std::lock_guard lock(mutex());
    onWait_ = std::move(handler);
}

void ManualPortClock::signalled(const PortSignal& signal)
{
    // A worker sets its own start/stop signal first and last; thread ids are used again later.
    const auto [worker, first] = workers_.try_emplace(std::this_thread::get_id(), signal.name());
    if (!first && worker->second == signal.name())
        workers_.erase(worker);
    journal_.push_back(std::string("set ") + signal.name());
    journalChanged_.notify_all();
}

void ManualPortClock::note(std::string what)
{
    std::lock_guard lock(mutex());
    journal_.push_back(std::move(what));
    journalChanged_.notify_all();
}

bool ManualPortClock::awaitEntry(const std::string& entry, std::size_t from)
{
    std::unique_lock lock(mutex());
    return journalChanged_.wait_for(lock, stallLimit, [&] {
        const auto start = journal_.begin() + static_cast<std::ptrdiff_t>(std::min(from, journal_.size()));
        return std::find(start, journal_.end(), entry) != journal_.end();
    });
}

std::vector<std::string> ManualPortClock::journal()
{
    std::lock_guard lock(mutex());
    return journal_;
}

} // namespace kirvan::testing
