#pragma once

#include "remote/BrokerLink.h"
#include "remote/LogPublisher.h"

#include <QMap>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <variant>

namespace kirvan {

class MessageLoop;

// Runs a LogPublisher on a thread of its own, so the main thread never waits for the log, the
// cursor file or the network. The link's news and the workstation's "the log has grown" reach it
// through a queue; the link's state goes to the main thread (`onState`, handed over with
// MessageLoop::synchronize). The log is also looked at every second, for lines the journal wrote
// late after an outage of its file.
class PublisherThread {
public:
    static constexpr int LookIntervalMs = 1000;
    // Before the first news of the link, a connection not made in this time is an outage.
    static constexpr int FirstVerdictMs = 3000;
    // How long the end waits for the broker to acknowledge "offline".
    static constexpr int OfflineWaitMs = 500;
    static constexpr std::size_t AcknowledgementBatch = 64;

    // `names`: the system names from the start, before the first connection asks for them.
    PublisherThread(MessageLoop& loop, std::unique_ptr<BrokerLink> link, LogPublisher::Setup setup,
                    std::function<void(BrokerLink::State)> onState, QMap<QString, QString> names = {});
    // Publishes "offline", saves the cursor and ends the link and the thread.
    ~PublisherThread();
    PublisherThread(const PublisherThread&) = delete;
    PublisherThread& operator=(const PublisherThread&) = delete;

    // Any thread.
    void logGrew();
    // Any thread: the active alarms' JSON for `<prefix>/alarms`.
    void setAlarms(QByteArray json);
    // Main thread: the system names the messages carry.
    void setSystemNames(QMap<QString, QString> names);

private:
    using News = std::variant<BrokerLink::State, int>; // a state, or the id of an acknowledged message
    void run(std::stop_token stop);
    void post(News news);
    void handOver(BrokerLink::State state);
    // At the end: takes up the broker's acknowledgements until `done` or OfflineWaitMs.
    void awaitAcknowledgements(const std::function<bool()>& done, const std::function<void(int)>& seen = {});
    QString systemName(const QString& address);
    QStringList systems();

    MessageLoop& loop_;
    std::unique_ptr<BrokerLink> link_;
    std::function<void(BrokerLink::State)> onState_;
    LogPublisher::Setup setup_;
    std::unique_ptr<LogPublisher> publisher_; // made and used on the thread only
    std::mutex mutex_;
    std::condition_variable_any changed_;
    std::deque<News> news_;
    bool grew_ = false;
    std::optional<QByteArray> alarms_;
    bool handingOver_ = false;
    bool ending_ = false;
    QMap<QString, QString> names_;
    std::jthread thread_;
};

} // namespace kirvan
