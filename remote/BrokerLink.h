#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

namespace kirvan {

// The connection to the MQTT broker. It connects, and after any loss reconnects, on a thread of
// its own; the handlers are called on that thread and must only hand the news on.
class BrokerLink {
public:
    // Refused: the broker turned the account down; Untrusted: its certificate was not accepted.
    enum class State : std::uint8_t { Connected, Unreachable, Refused, Untrusted };
    struct Handlers {
        std::function<void(State)> state;
        // The broker has acknowledged the message (PUBACK).
        std::function<void(int id)> acknowledged;
        // A message of a subscribed topic.
        std::function<void(const QString& topic, const QByteArray& payload)> message;
    };

    virtual ~BrokerLink() = default;
    // Begins connecting; the last will publishes `will` retained on `willTopic` (none if empty).
    // Every connection subscribes to `subscriptions` with QoS 1.
    virtual void start(Handlers handlers, const QString& willTopic, const QByteArray& will,
                       const QStringList& subscriptions = {})
        = 0;
    // Hands a message over with QoS 1 and returns its id, or -1 when the link takes nothing now.
    // A message handed over is sent again after a reconnection until it is acknowledged, in order.
    // Any thread.
    virtual int publish(const QString& topic, const QByteArray& payload, bool retain) = 0;
    // Disconnects cleanly (no last will) and ends the thread.
    virtual void stop() = 0;
};

} // namespace kirvan
