#include "platform/MessageLoop.h"

#include "platform/Timer.h"

#include <cstdio>
#include <stdexcept>
#include <thread>

namespace kirvan {

void MessageLoop::runHandler(const std::function<void()>& handler) noexcept
{
    try {
        handler();
    } catch (const std::exception& error) {
        report(error);
    } catch (...) {
        report(std::runtime_error("unknown error"));
    }
}

void MessageLoop::requestStop()
{
    ++stopRequests_;
    wake();
}

void MessageLoop::report(const std::exception& error) noexcept
{
    if (errorHandler_) {
        try {
            errorHandler_(error);
            return;
        } catch (...) {
            // The report itself failed; standard error is what is left.
        }
    }
    std::fprintf(stderr, "KirvanMonitorP: %s\n", error.what());
}

void Timer::setInterval(int ms)
{
    if (ms == interval_)
        return;
    interval_ = ms;
    rearm();
}

void Timer::setEnabled(bool on)
{
    if (on == enabled_)
        return;
    enabled_ = on;
    rearm();
}

void Timer::fire()
{
    // A copy, because the handler may replace itself or destroy this timer.
    const auto handler = handler_;
    if (handler)
        loop_.runHandler(handler);
}

void MessageLoop::serveHandOverUnderWay(std::mutex& mutex, const bool& handingOver)
{
    for (;;) {
        {
            std::lock_guard lock(mutex);
            if (!handingOver)
                return;
        }
        serveHandOvers();
        std::this_thread::yield();
    }
}

} // namespace kirvan
