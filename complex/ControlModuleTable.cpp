#include "complex/ControlModuleTable.h"

#include "files/IniDocument.h"
#include "files/IniFile.h"
#include "files/SettingsKeys.h"

#include <algorithm>

namespace kirvan {

ControlModuleTable::ControlModuleTable(IniFile& settings) : settings_(settings)
{
    entries_.fill(freeEntry);
}

QString ControlModuleTable::sectionName(int slot)
{
    return settings::controlModulePrefix.toString() + QString::number(slot + 1);
}

void ControlModuleTable::fillSlots()
{
    for (int slot = 0; slot < SlotCount; ++slot)
        mark(slot, settings_.sectionExists(sectionName(slot)) ? usedEntry : freeEntry);
}

std::vector<int> ControlModuleTable::slotsOf(const QString& system, const QString& zone) const
{
    return usedSlotsWhere(system, &zone);
}

std::vector<int> ControlModuleTable::usedSlotsWhere(const QString& system, const QString* zone) const
{
    std::vector<int> slots;
    for (int slot = 0; slot < SlotCount; ++slot) {
        if (!used(slot))
            continue;
        const QString section = sectionName(slot);
        if (settings_.readString(section, controlmodule::keySystem, {}) == system
            && (!zone || settings_.readString(section, controlmodule::keyZone, {}) == *zone))
            slots.push_back(slot);
    }
    return slots;
}

std::optional<int> ControlModuleTable::save(const ControlModuleRecord& record)
{
    const std::vector<int> replaced = slotsOf(record.system, record.zone);
    const auto isReplaced = [&](int slot) { return std::ranges::find(replaced, slot) != replaced.end(); };
    std::optional<int> target;
    // Free in the table but written by hand since the table was built: a record on the disk
    // all the same, never to be overwritten.
    std::vector<int> foundOnDisk;
    settings_.edit([&](IniDocument& document) {
        for (const int slot : replaced)
            document.eraseSection(sectionName(slot));
        for (int slot = 0; slot < SlotCount && !target; ++slot) {
            if (used(slot) && !isReplaced(slot))
                continue;
            if (document.sectionExists(sectionName(slot)))
                foundOnDisk.push_back(slot);
            else
                target = slot;
        }
        // Without a place for the new record the old ones stay too.
        if (!target)
            return false;
        const QString section = sectionName(*target);
        document.setValue(section, controlmodule::keySystem, record.system);
        document.setValue(section, controlmodule::keyZone, record.zone);
        document.setValue(section, controlmodule::keyScenario, QString::number(record.scenario));
        document.setValue(section, controlmodule::keyMode,
                          record.automatic ? controlmodule::automatic : controlmodule::manual);
        document.setValue(section, controlmodule::keyComment, record.comment);
        return true;
    });
    if (!target)
        return std::nullopt;
    for (const int slot : replaced)
        mark(slot, freeEntry);
    for (const int slot : foundOnDisk)
        mark(slot, usedEntry);
    mark(*target, usedEntry);
    return target;
}

int ControlModuleTable::erase(const QString& system, const QString& zone)
{
    return eraseSlots(slotsOf(system, zone));
}

int ControlModuleTable::eraseSystem(const QString& system)
{
    return eraseSlots(usedSlotsWhere(system, nullptr));
}

int ControlModuleTable::eraseSlots(const std::vector<int>& slots)
{
    if (slots.empty())
        return 0;
    settings_.edit([&](IniDocument& document) {
        bool changed = false;
        for (const int slot : slots)
            changed = document.eraseSection(sectionName(slot)) || changed;
        return changed;
    });
    for (const int slot : slots)
        mark(slot, freeEntry);
    return static_cast<int>(slots.size());
}

} // namespace kirvan
