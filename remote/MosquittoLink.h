#pragma once

#include "remote/BrokerLink.h"
#include "remote/RemoteSettings.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

struct mosquitto;
struct mosquitto_message;

namespace kirvan {

// The broker link of libmosquitto (MQTT 3.1.1). Its network thread runs the library's loop and
// connects again after every failure, 1 s after it and doubling up to 8 s; libmosquitto's own
// thread would end for good on a TLS or name-resolution failure, so the loop is ours.
class MosquittoLink final : public BrokerLink {
public:
    static constexpr int KeepAliveSeconds = 10;
    static constexpr int FirstRetryMs = 1000;
    static constexpr int LastRetryMs = 8000;
    // A connection not made within this time is reported unreachable (and tried again).
    static constexpr int ConnectVerdictMs = 10'000;

    // With a client id the broker keeps the session (subscriptions, messages for it) across
    // disconnections; without one every connection starts afresh.
    explicit MosquittoLink(RemoteSettings settings, const QString& clientId = {});
    ~MosquittoLink() override;
    MosquittoLink(const MosquittoLink&) = delete;
    MosquittoLink& operator=(const MosquittoLink&) = delete;

    void start(Handlers handlers, const QString& willTopic, const QByteArray& will,
               const QStringList& subscriptions = {}) override;
    int publish(const QString& topic, const QByteArray& payload, bool retain) override;
    void stop() override;

private:
    static void onConnect(mosquitto*, void* self, int result);
    static void onDisconnect(mosquitto*, void* self, int result);
    static void onPublish(mosquitto*, void* self, int id);
    static void onMessage(mosquitto*, void* self, const mosquitto_message* message);
    void run(std::stop_token stop);
    void report(State state);
    // Waits the retry delay, or less when the link is stopped; false then.
    bool pause(std::stop_token& stop, int& delayMs);

    RemoteSettings settings_;
    Handlers handlers_;
    QStringList subscriptions_;
    mosquitto* client_ = nullptr;
    std::mutex mutex_;
    std::condition_variable_any stopped_;
    std::optional<State> last_;
    std::atomic<bool> stopping_ = false;
    std::jthread thread_;
};

} // namespace kirvan
