#include "platform/UpdateThrottle.h"

#include "platform/MessageLoop.h"
#include "platform/Timer.h"

namespace kirvan {

UpdateThrottle::UpdateThrottle(MessageLoop& loop, int periodMs, std::function<void()> show)
    : loop_(loop), periodMs_(periodMs), update_(std::move(show)), pending_(loop.createTimer())
{
    pending_->setOnTimer([this] { update(); });
}

UpdateThrottle::~UpdateThrottle() = default;

void UpdateThrottle::changed()
{
    if (pending_->enabled())
        return;
    const std::int64_t since = loop_.now() - lastUpdate_;
    if (!updated_ || since >= periodMs_) {
        update();
        return;
    }
    pending_->setInterval(int(periodMs_ - since));
    pending_->setEnabled(true);
}

void UpdateThrottle::update()
{
    pending_->setEnabled(false);
    updated_ = true;
    lastUpdate_ = loop_.now();
    update_();
}

} // namespace kirvan
