#include "transmit/TransmitterThread.h"

#include <chrono>

namespace kirvan {

TransmitterThread::TransmitterThread(std::unique_ptr<ReceiverLink> link, AlarmTransmitter::Setup setup)
    : link_(std::move(link)), setup_(std::move(setup))
{
    // The end of the log now, before the next line is logged: only a look at its size.
    setup_.firstLine = LogTail(setup_.logPath).end();
    setup_.detectors = [this] {
        std::lock_guard lock(mutex_);
        return detectors_;
    };
    thread_ = std::jthread([this](std::stop_token stop) { run(stop); });
}

TransmitterThread::~TransmitterThread()
{
    {
        std::unique_lock lock(mutex_);
        finishing_ = grew_ = true;
        changed_.notify_all();
        changed_.wait_for(lock, std::chrono::milliseconds(FinishMs), [this] { return finished_; });
    }
    thread_.request_stop();
    link_->interrupt();
    thread_.join();
}

void TransmitterThread::logGrew()
{
    std::lock_guard lock(mutex_);
    grew_ = true;
    changed_.notify_all();
}

void TransmitterThread::setDetectors(DetectorDirectory detectors)
{
    std::lock_guard lock(mutex_);
    detectors_ = std::move(detectors);
}

TransmitterThread::News TransmitterThread::news()
{
    std::lock_guard lock(mutex_);
    return std::exchange(news_, News{});
}

bool TransmitterThread::linkLost()
{
    std::lock_guard lock(mutex_);
    return lost_;
}

void TransmitterThread::run(std::stop_token stop)
{
    const AlarmTransmitter::Events events{[this](const QString& reason) {
                                              std::lock_guard lock(mutex_);
                                              lost_ = true;
                                              news_.lost = reason;
                                              news_.restored = false;
                                          },
                                          [this] {
                                              std::lock_guard lock(mutex_);
                                              lost_ = false;
                                              news_.restored = true;
                                          },
                                          [this](const QString& message) {
                                              std::lock_guard lock(mutex_);
                                              news_.refused << message;
                                          }};
    // The cursor file is read and written here, never on the main thread.
    AlarmTransmitter transmitter(*link_, std::move(setup_), events);
    while (!stop.stop_requested()) {
        const int idleMs = transmitter.work();
        std::unique_lock lock(mutex_);
        if (finishing_ && idleMs > 0 && !grew_)
            break;
        changed_.wait_for(lock, stop, std::chrono::milliseconds(idleMs), [this] { return grew_; });
        grew_ = false;
    }
    std::lock_guard lock(mutex_);
    finished_ = true;
    changed_.notify_all();
}

} // namespace kirvan
