#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace kirvan {

class MessageLoop;
class Timer;

// Brings a view up to date at most once a period, however often its model changes: the first
// change after a quiet period is shown at once, later ones together at the end of the period. So
// a flood of events costs a few repaints a second, and the newest is never later than a period.
class UpdateThrottle {
public:
    UpdateThrottle(MessageLoop& loop, int periodMs, std::function<void()> show);
    ~UpdateThrottle();
    UpdateThrottle(const UpdateThrottle&) = delete;
    UpdateThrottle& operator=(const UpdateThrottle&) = delete;

    void changed();

private:
    void update();

    MessageLoop& loop_;
    const int periodMs_;
    std::function<void()> update_;
    std::unique_ptr<Timer> pending_;
    std::int64_t lastUpdate_ = 0;
    bool updated_ = false;
};

} // namespace kirvan
