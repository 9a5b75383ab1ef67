#pragma once

#include "remote/MosquittoLink.h"
#include "tests/support/PrivateBroker.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace kirvan::testing {

// The messages once each: a repeat carries a number not above the last one's.
inline std::vector<QJsonObject> withoutRepeats(const std::vector<QJsonObject>& events)
{
    std::vector<QJsonObject> once;
    for (const QJsonObject& event : events)
        if (once.empty()
            || event.value(QStringLiteral("seq")).toDouble() > once.back().value(QStringLiteral("seq")).toDouble())
            once.push_back(event);
    return once;
}

// A monitoring station: every event message of the workstation, in the order received. Its
// session outlives the broker's restart, so what is published before it is back waits for it.
class Station {
public:
    explicit Station(const PrivateBroker& broker) : link_(settingsFor(broker), QStringLiteral("station"))
    {
        link_.start(
            BrokerLink::Handlers{[this](BrokerLink::State state) { setState(state); },
                                 {},
                                 [this](const QString& topic, const QByteArray& payload) { take(topic, payload); }},
            {}, {}, {QStringLiteral("kirvan/ws/event")});
    }
    static RemoteSettings settingsFor(const PrivateBroker& broker)
    {
        RemoteSettings settings;
        settings.server = broker.server();
        parseServer(settings.server, false, settings.host, settings.port);
        return settings;
    }
    // Wait (really) until `count` events have come, all or once each (repeats aside), or 20 s
    // have passed.
    std::vector<QJsonObject> await(std::size_t count)
    {
        return awaitEvents(count, [](const auto& all) { return all; });
    }
    std::vector<QJsonObject> awaitOnce(std::size_t count) { return awaitEvents(count, withoutRepeats); }
    bool awaitConnected()
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(10), [&] { return connected_; });
    }

private:
    template <typename Filter> std::vector<QJsonObject> awaitEvents(std::size_t count, Filter filter)
    {
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::seconds(20), [&] { return filter(events_).size() >= count; });
        return filter(events_);
    }
    void setState(BrokerLink::State state)
    {
        std::lock_guard lock(mutex_);
        connected_ = state == BrokerLink::State::Connected;
        changed_.notify_all();
    }
    void take(const QString&, const QByteArray& payload)
    {
        std::lock_guard lock(mutex_);
        events_.push_back(QJsonDocument::fromJson(payload).object());
        changed_.notify_all();
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<QJsonObject> events_;
    bool connected_ = false;
    MosquittoLink link_;
};

} // namespace kirvan::testing
