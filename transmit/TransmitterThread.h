#pragma once

#include "transmit/AlarmTransmitter.h"

#include <QStringList>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace kirvan {

// Runs a AlarmTransmitter on a thread of its own, so that neither the receiver's answers nor the
// cursor file ever hold up the main thread, and a fire goes out with any dialog open. The log's
// growth wakes it at once. What the main thread is to tell (the link lost or back, refused
// messages) waits in `news()`; the thread never waits for the main thread. At the end it is
// given FinishMs to send what the log still holds (the workstation's stop), then an exchange
// under way is broken off.
class TransmitterThread {
public:
    static constexpr int FinishMs = 1000;
    struct News {
        std::optional<QString> lost; // the link was lost, and why
        bool restored = false;
        QStringList refused;
    };

    TransmitterThread(std::unique_ptr<ReceiverLink> link, AlarmTransmitter::Setup setup);
    ~TransmitterThread();
    TransmitterThread(const TransmitterThread&) = delete;
    TransmitterThread& operator=(const TransmitterThread&) = delete;

    // Any thread.
    void logGrew();
    void setDetectors(DetectorDirectory detectors);
    // Main thread: what happened since the last call; `linkLost` as it is now.
    News news();
    bool linkLost();

private:
    void run(std::stop_token stop);

    std::unique_ptr<ReceiverLink> link_;
    AlarmTransmitter::Setup setup_;
    std::mutex mutex_;
    std::condition_variable_any changed_;
    bool grew_ = false;
    bool finishing_ = false;
    bool finished_ = false;
    bool lost_ = false;
    News news_;
    DetectorDirectory detectors_;
    std::jthread thread_;
};

} // namespace kirvan
