#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <cstdint>
#include <optional>

namespace kirvan {

// A monitoring station's view of the event topics of one or many workstations: each message once
// (a repeat after an outage or a restart of a workstation carries a sequence number already
// seen and is dropped), shown as the journal's own line or as the JSON message itself.
class EventWatch {
public:
    enum class Form : std::uint8_t { Line, Json };
    // `prefix` as subscribed; with a wildcard in it, each line begins with its workstation's prefix.
    EventWatch(QString prefix, Form form);

    QString subscription() const { return prefix_ + QStringLiteral("/event"); }
    // The text to show for a message, nothing for a repeat or a message that is no event.
    std::optional<QString> take(const QString& topic, const QByteArray& payload);

private:
    QString prefix_;
    Form form_;
    bool many_;
    QMap<QString, double> lastSequence_;
};

} // namespace kirvan
