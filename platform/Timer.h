#pragma once

#include <functional>

namespace kirvan {

class MessageLoop;

// A window timer as the main window's sendPauseTimer/blinkTimer/pollTimer/mailboxTimer use it: periodic while
// enabled, an interval of 0 never fires, changing the interval of a running timer starts
// its period anew. The handler runs on the main thread from the message processing of
// whatever wait is active, so it may run inside another handler's wait, including its own.
class Timer {
public:
    explicit Timer(MessageLoop& loop) : loop_(loop) {}
    virtual ~Timer() = default;
    Timer(const Timer&) = delete;
    Timer& operator=(const Timer&) = delete;

    void setOnTimer(std::function<void()> handler) { handler_ = std::move(handler); }

    void setInterval(int ms);
    int interval() const { return interval_; }
    void setEnabled(bool on);
    bool enabled() const { return enabled_; }

protected:
    // Runs the handler. The timer may be destroyed by its own handler, so nothing of this
    // object is touched after the call.
    void fire();

private:
    // Called whenever the period must start anew or stop; implementations (re)arm here.
    virtual void rearm() = 0;

    MessageLoop& loop_;
    std::function<void()> handler_;
    int interval_ = 1000;
    bool enabled_ = false;
};

} // namespace kirvan
