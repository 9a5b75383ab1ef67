#pragma once

#include <QString>

namespace kirvan {

class IniStore;

namespace zoneplan {

inline constexpr int zoneCount = 256;

// The lowest zone number n (1 to 256) whose "ЗОНА" value in the system file equals the name
// exactly, letter case included; 0 when no zone has that name. An empty value is no zone.
int zoneNumber(IniStore& store, const QString& systemFile, const QString& zoneName);

} // namespace zoneplan
} // namespace kirvan
