#pragma once

#include "remote/BrokerLink.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <vector>

namespace kirvan::testing {

// A broker link that keeps every message handed to it; the test plays the broker's part.
class RecordingBrokerLink final : public BrokerLink {
public:
    struct Message {
        QString topic;
        QByteArray payload;
        int id;
    };

    void start(Handlers, const QString&, const QByteArray&, const QStringList&) override {}
    int publish(const QString& topic, const QByteArray& payload, bool) override
    {
        sent_.push_back(Message{topic, payload, int(sent_.size()) + 1});
        return sent_.back().id;
    }
    void stop() override {}

    const std::vector<Message>& sent() const { return sent_; }
    // The JSON messages of the event topic, in the order handed over.
    std::vector<QJsonObject> events() const
    {
        std::vector<QJsonObject> events;
        for (const Message& message : sent_)
            if (message.topic.endsWith(QStringLiteral("/event")))
                events.push_back(QJsonDocument::fromJson(message.payload).object());
        return events;
    }

private:
    std::vector<Message> sent_;
};

} // namespace kirvan::testing
