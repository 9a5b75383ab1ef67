#include "events/AlarmSummary.h"

#include "events/EventServices.h"
#include "platform/Locale.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace kirvan::alarmsummary {

QString counts(const ActiveConditions::Counts& c)
{
    // No count is split over two lines: the blanks inside one are not breaking.
    return QStringLiteral("ПОЖАР:\u00A0зон\u00A0%1,\u00A0извещателей\u00A0%2   ТЕХНОЛОГИЯ:\u00A0%3   ОТКАЗ:\u00A0%4   "
                          "НЕТ\u00A0СВЯЗИ:\u00A0%5   ОТКЛЮЧЕНО:\u00A0%6")
        .arg(c.fireZones)
        .arg(c.fireDetectors)
        .arg(c.technology)
        .arg(c.faults)
        .arg(c.noLink)
        .arg(c.switchedOff);
}

QString fire(const QString& caption, const ActiveConditions::Condition* fire, const Locale& locale)
{
    if (!fire)
        return {};
    // The row's message names the zone and the detector's text already.
    return QStringLiteral("%1: %2 %3 %4 %5")
        .arg(caption, fire->system, fire->detector(), fire->text, locale.dateTime(fire->since));
}

namespace {

QJsonValue fireJson(const ActiveConditions::Condition* fire)
{
    if (!fire)
        return QJsonValue::Null;
    return QJsonObject{
        {QStringLiteral("address"), fire->address()}, {QStringLiteral("system"), fire->system},
        {QStringLiteral("zone"), fire->zone},         {QStringLiteral("detector"), fire->detector()},
        {QStringLiteral("text"), fire->text},         {QStringLiteral("since"), fire->since.toString(Qt::ISODate)}};
}

// The highest real condition of the system: fire, technology, fault, no link. A drill changes
// no system's state: nobody outside may take it for the real thing.
QString remoteState(const ActiveConditions& conditions, const QString& address)
{
    using Kind = ActiveConditions::Kind;
    const std::pair<Kind, const char16_t*> ranked[] = {{Kind::Fire, u"пожар"},
                                                       {Kind::Technology, u"технология"},
                                                       {Kind::Fault, u"отказ"},
                                                       {Kind::NoLink, u"нет связи"}};
    for (const auto& [kind, state] : ranked)
        for (const auto& c : conditions.rows())
            if (c.address() == address && c.kind == kind && !c.simulated)
                return QString::fromUtf16(state);
    return {};
}

} // namespace

QByteArray json(const ActiveConditions& conditions)
{
    const ActiveConditions::Counts c = conditions.counts();
    QJsonObject systems;
    int unacknowledged = 0;
    for (const auto& condition : conditions.rows()) {
        unacknowledged += condition.acknowledged() ? 0 : 1;
        if (const QString state = remoteState(conditions, condition.address()); !state.isEmpty())
            systems.insert(condition.address(), state);
    }
    const QJsonObject summary{{QStringLiteral("fireZones"), c.fireZones},
                              {QStringLiteral("fireDetectors"), c.fireDetectors},
                              {QStringLiteral("technology"), c.technology},
                              {QStringLiteral("faults"), c.faults},
                              {QStringLiteral("noLink"), c.noLink},
                              {QStringLiteral("switchedOff"), c.switchedOff},
                              {QStringLiteral("unacknowledged"), unacknowledged},
                              {QStringLiteral("systems"), systems},
                              {QStringLiteral("firstFire"), fireJson(conditions.firstFire())},
                              {QStringLiteral("newestFire"), fireJson(conditions.newestFire())}};
    return QJsonDocument(summary).toJson(QJsonDocument::Compact);
}

} // namespace kirvan::alarmsummary
