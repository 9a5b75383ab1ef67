#include "plans/ZonePlan.h"
#include "complex/SiteFileKeys.h"

#include "files/IniStore.h"

namespace kirvan::zoneplan {

int zoneNumber(IniStore& store, const QString& systemFile, const QString& zoneName)
{
    int found = 0;
    // One reading of the file for all 256 keys.
    store.read(systemFile, [&](const IniDocument& document) {
        for (int n = 1; n <= zoneCount && found == 0; ++n) {
            const auto name = document.value(systemfile::sectionZones, QString::number(n));
            if (name && !name->isEmpty() && *name == zoneName)
                found = n;
        }
    });
    return found;
}

} // namespace kirvan::zoneplan
