#include "remote/EventWatch.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace kirvan {

EventWatch::EventWatch(QString prefix, Form form)
    : prefix_(std::move(prefix)),
      form_(form),
      many_(prefix_.contains(QLatin1Char('+')) || prefix_.contains(QLatin1Char('#')))
{}

std::optional<QString> EventWatch::take(const QString& topic, const QByteArray& payload)
{
    const QJsonObject message = QJsonDocument::fromJson(payload).object();
    const QJsonValue sequence = message.value(QStringLiteral("seq"));
    if (!topic.endsWith(QStringLiteral("/event")) || !sequence.isDouble())
        return std::nullopt;
    const QString workstation = topic.chopped(6);
    const auto last = lastSequence_.constFind(workstation);
    if (last != lastSequence_.cend() && sequence.toDouble() <= *last)
        return std::nullopt;
    lastSequence_.insert(workstation, sequence.toDouble());
    if (form_ == Form::Json)
        return QString::fromUtf8(payload);
    const QString line = message.value(QStringLiteral("text")).toString();
    return many_ ? workstation + QStringLiteral(": ") + line : line;
}

} // namespace kirvan
