#include "remote/EventMessage.h"

#include "files/Cp1251.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace kirvan {

namespace {

// The moment of JournalDateOrder back as a date and a time.
QDateTime dateTimeOf(std::int64_t moment)
{
    const auto take = [&moment](int base) {
        const int part = int(moment % base);
        moment /= base;
        return part;
    };
    const int second = take(60);
    const int minute = take(60);
    const int hour = take(24);
    const int day = take(32);
    const int month = take(13);
    return QDateTime(QDate(int(moment), month, day), QTime(hour, minute, second));
}

RemoteKind remoteKindOf(JournalKind kind, int code)
{
    // The record "00" is a system back to normal, also after a lost link.
    if (code == 0)
        return RemoteKind::Restoration;
    switch (kind) {
    case JournalKind::Fire:
        return RemoteKind::Fire;
    case JournalKind::Fault:
        return RemoteKind::Fault;
    case JournalKind::Technology:
        return RemoteKind::Technology;
    case JournalKind::Link:
        return RemoteKind::Link;
    case JournalKind::Operator:
        // A record (detector switched, control check) is the panel's report or what a command
        // made it say; the operator's own line about it is an action line.
        return code < 0 ? RemoteKind::Operator : RemoteKind::Other;
    case JournalKind::OperatorActions:
        return RemoteKind::Operator;
    case JournalKind::StartStop:
        return RemoteKind::StartStop;
    case JournalKind::Other:
        break;
    }
    return RemoteKind::Other;
}

} // namespace

QString remoteKindName(RemoteKind kind)
{
    switch (kind) {
    case RemoteKind::Fire:
        return QStringLiteral("fire");
    case RemoteKind::Fault:
        return QStringLiteral("fault");
    case RemoteKind::Technology:
        return QStringLiteral("technology");
    case RemoteKind::Link:
        return QStringLiteral("link");
    case RemoteKind::Restoration:
        return QStringLiteral("restoration");
    case RemoteKind::Operator:
        return QStringLiteral("operator");
    case RemoteKind::StartStop:
        return QStringLiteral("startstop");
    case RemoteKind::Simulation:
        return QStringLiteral("simulation");
    case RemoteKind::Other:
        break;
    }
    return QStringLiteral("other");
}

EventMessage::EventMessage(std::uint64_t sequence, QByteArrayView line, const JournalDateOrder& order,
                           const std::function<QDateTime()>& fallback)
    : sequence_(sequence), text_(cp1251::decode(line))
{
    fields_ = parseJournalLine(text_);
    const JournalLineInfo info = inspectJournalLine(line, order);
    bool ok = false;
    code_ = fields_.code.toInt(&ok);
    if (!ok)
        code_ = -1;
    kind_ = remoteKindOf(info.kind, code_);
    time_ = info.moment != 0 ? dateTimeOf(info.moment) : fallback();
}

void EventMessage::setSystemName(QString name)
{
    systemName_ = std::move(name);
    if (kind_ != RemoteKind::Fire && kind_ != RemoteKind::Technology && kind_ != RemoteKind::Fault)
        return;
    // The alarm line is "<record> <date> <time> <status>: <system> ИМИТАЦИЯ <zone> <text>".
    const qsizetype status = text_.indexOf(QStringLiteral(": "));
    if (!systemName_.isEmpty() && status >= 0
        && QStringView(text_).sliced(status + 2).startsWith(systemName_ + QStringLiteral(" ИМИТАЦИЯ ")))
        kind_ = RemoteKind::Simulation;
}

QByteArray EventMessage::json() const
{
    QJsonObject object{
        {QStringLiteral("seq"), double(sequence_)},
        {QStringLiteral("time"), time_.toOffsetFromUtc(time_.offsetFromUtc()).toString(Qt::ISODate)},
        {QStringLiteral("address"), fields_.address},
        {QStringLiteral("system"), systemName_},
        {QStringLiteral("detector"), fields_.detector},
        {QStringLiteral("code"), fields_.code},
        {QStringLiteral("kind"), remoteKindName(kind_)},
        {QStringLiteral("text"), text_},
    };
    if (skipped_ > 0)
        object.insert(QStringLiteral("skipped"), double(skipped_));
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace kirvan
