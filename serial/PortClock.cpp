#include "serial/PortClock.h"

#include <chrono>
#include <thread>

namespace kirvan {

void PortClock::pause(int ms)
{
    std::unique_lock lock(mutex_);
    const std::int64_t deadline = now() + ms;
    while (now() < deadline)
        block(lock, deadline, nullptr);
}

bool PortClock::wait(PortSignal& signal, int ms)
{
    std::unique_lock lock(mutex_);
    const std::int64_t deadline = ms < 0 ? -1 : now() + ms;
    while (!signal.set_) {
        if (deadline >= 0 && now() >= deadline)
            return false;
        block(lock, deadline, &signal);
    }
    signal.set_ = false;
    return true;
}

void PortClock::set(PortSignal& signal)
{
    {
        std::lock_guard lock(mutex_);
        signal.set_ = true;
        signalled(signal);
    }
    changed_.notify_all();
}

void PortClock::reset(PortSignal& signal)
{
    std::lock_guard lock(mutex_);
    signal.set_ = false;
}

std::int64_t SteadyPortClock::now() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void SteadyPortClock::pause(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void SteadyPortClock::block(std::unique_lock<std::mutex>& lock, std::int64_t deadline, const PortSignal*)
{
    using namespace std::chrono;
    if (deadline < 0)
        changed().wait(lock);
    else
        changed().wait_until(lock, steady_clock::time_point(milliseconds(deadline)));
}

} // namespace kirvan
