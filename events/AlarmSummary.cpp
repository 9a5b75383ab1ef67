#include "events/AlarmSummary.h"

#include "platform/Locale.h"

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

} // namespace kirvan::alarmsummary
