#pragma once

#include "remote/BrokerLink.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <atomic>
#include <mutex>
#include <vector>

namespace kirvan::testing {

// A broker link that keeps every message handed to it; the test plays the broker's part:
// connections, losses and acknowledgements.
class RecordingBrokerLink final : public BrokerLink {
public:
    struct Message {
        QString topic;
        QByteArray payload;
        bool retain;
        int id;
    };

    void start(Handlers handlers, const QString& willTopic, const QByteArray& will, const QStringList&) override
    {
        std::lock_guard lock(mutex_);
        handlers_ = std::move(handlers);
        will_ = willTopic + QLatin1Char('=') + QString::fromUtf8(will);
    }
    int publish(const QString& topic, const QByteArray& payload, bool retain) override
    {
        std::lock_guard lock(mutex_);
        if (!accepting_)
            return -1;
        sent_.push_back(Message{topic, payload, retain, ++lastId_});
        return lastId_;
    }
    void stop() override { stopped_ = true; }

    void setAccepting(bool accepting)
    {
        std::lock_guard lock(mutex_);
        accepting_ = accepting;
    }
    // The broker's side.
    void report(State state) { handlers().state(state); }
    void acknowledge(int id) { handlers().acknowledged(id); }

    std::vector<Message> sent() const
    {
        std::lock_guard lock(mutex_);
        return sent_;
    }
    // The JSON messages of the event topic, in the order handed over.
    std::vector<QJsonObject> events() const
    {
        std::vector<QJsonObject> events;
        for (const Message& message : sent())
            if (message.topic.endsWith(QStringLiteral("/event")))
                events.push_back(QJsonDocument::fromJson(message.payload).object());
        return events;
    }
    QString will() const
    {
        std::lock_guard lock(mutex_);
        return will_;
    }
    bool stopped() const { return stopped_; }

private:
    Handlers handlers() const
    {
        std::lock_guard lock(mutex_);
        return handlers_;
    }

    mutable std::mutex mutex_;
    Handlers handlers_;
    QString will_;
    std::vector<Message> sent_;
    int lastId_ = 0;
    bool accepting_ = true;
    std::atomic<bool> stopped_ = false;
};

} // namespace kirvan::testing
