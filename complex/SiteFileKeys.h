#pragma once

#include <QStringView>

namespace kirvan {

// Sections and keys of a system file (".cnf"): the system's own section, the zones' names and
// plans, the directions of a remote unit.
namespace systemfile {
inline constexpr QStringView sectionSystem = u"СИСТЕМА";
inline constexpr QStringView keyAddress = u"АДРЕС"; // the system's address, "00" to "03"
inline constexpr QStringView keyAds = u"АДС"; // the station's number on the line
inline constexpr QStringView sectionZones = u"ЗОНА"; // zone number n = the zone's name
inline constexpr QStringView sectionZonePlans = u"ПЛАН ЗОНЫ"; // zone number n = its plan's file
inline constexpr QStringView sectionDirection = u"НАПРАВЛЕНИЕ "; // followed by the direction's digit
inline constexpr QStringView keyDirectionZone = u"ЗОНА";
} // namespace systemfile

// Keys and values of a detector's section (named by its DetectorId) in a detector file (".tb0").
namespace detectorfile {
inline constexpr QStringView keyZone = u"ЗОНА";
inline constexpr QStringView keyText = u"ТЕКСТ";
inline constexpr QStringView keyType = u"ТИП";
inline constexpr QStringView keyState = u"СОСТОЯНИЕ";
inline constexpr QStringView keySecurity = u"ОХРАНА"; // the arming state of a security detector
inline constexpr QStringView keyX = u"X"; // the marker's place on the zone's plan
inline constexpr QStringView keyY = u"Y";
inline constexpr QStringView typeSecurity = u"ОХРАНА";
inline constexpr QStringView typeTechnology = u"ТЕХНОЛОГ";
inline constexpr QStringView stateOn = u"ВКЛ";
} // namespace detectorfile

} // namespace kirvan
