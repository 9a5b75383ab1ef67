#include "platform/QtMessageLoop.h"

#include "platform/Timer.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QTimer>
#include <chrono>

namespace kirvan {

namespace {

class QtTimer final : public Timer {
public:
    explicit QtTimer(MessageLoop& loop) : Timer(loop)
    {
        // Window timers must keep their period: a coarse timer may drift by 5 %, which the
        // 800 ms polling tick cannot afford.
        timer_.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { fire(); });
    }

private:
    void rearm() override
    {
        if (enabled() && interval() > 0)
            timer_.start(interval());
        else
            timer_.stop();
    }

    QTimer timer_;
};

} // namespace

QtMessageLoop::QtMessageLoop() : mainThread_(std::this_thread::get_id()) {}

std::unique_ptr<Timer> QtMessageLoop::createTimer()
{
    return std::make_unique<QtTimer>(*this);
}

std::int64_t QtMessageLoop::now() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool QtMessageLoop::waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    // The timer only wakes the event dispatcher when the time is up.
    QTimer deadlineWaker;
    deadlineWaker.setTimerType(Qt::PreciseTimer);
    deadlineWaker.setSingleShot(true);
    const std::int64_t deadline = now() + timeoutMs;
    if (timeoutMs >= 0)
        deadlineWaker.start(timeoutMs);
    const std::uint64_t stops = stopRequests();
    while (!done()) {
        if (stopRequests() != stops)
            return false;
        if (timeoutMs >= 0 && now() >= deadline)
            return done();
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void QtMessageLoop::synchronize(const std::function<void()>& routine)
{
    if (isMainThread()) {
        runHandler(routine);
        return;
    }
    // Queued events of one receiver are delivered in the order posted, from the outermost
    // event loop as well as from every nested wait.
    QMetaObject::invokeMethod(
        &mainThreadContext_, [this, &routine] { runHandler(routine); }, Qt::BlockingQueuedConnection);
}

void QtMessageLoop::serveHandOvers()
{
    QCoreApplication::sendPostedEvents(&mainThreadContext_, QEvent::MetaCall);
}

void QtMessageLoop::wake()
{
    if (auto* dispatcher = QAbstractEventDispatcher::instance(mainThreadContext_.thread()))
        dispatcher->wakeUp();
}

bool QtMessageLoop::isMainThread() const
{
    return std::this_thread::get_id() == mainThread_;
}

} // namespace kirvan
