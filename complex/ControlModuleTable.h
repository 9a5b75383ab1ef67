#pragma once

#include <QString>
#include <QStringView>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace kirvan {

class IniFile;

// Keys of a control-module section of the settings file.
namespace controlmodule {
inline constexpr QStringView keySystem = u"СИСТЕМА"; // the system node's text, "A01:СКЛАД"
inline constexpr QStringView keyZone = u"ЗОНА"; // the zone node's text
inline constexpr QStringView keyScenario = u"СЦЕНАРИЙ"; // 1 to 96; 0 stands for none
inline constexpr QStringView keyMode = u"РЕЖИМ"; // "АВТОМАТ" or "РУЧНОЙ"
inline constexpr QStringView keyComment = u"КОМЕНТАРИЙ";
inline constexpr QStringView automatic = u"АВТОМАТ";
inline constexpr QStringView manual = u"РУЧНОЙ";
} // namespace controlmodule

// One control module as the editor saves it.
struct ControlModuleRecord {
    QString system;
    QString zone;
    int scenario = 0;
    bool automatic = false;
    QString comment;
};

// ControlModuleTable: which of the 256 control-module sections of the settings file are used.
// Searches visit only the used slots; the records themselves are read from the file every time,
// so a search sees what the editor saved a moment ago. Every change is one crash-safe write of
// the settings file: a write the file system refuses throws FileWriteError and leaves both the
// file and the table as they were.
class ControlModuleTable {
public:
    static constexpr int SlotCount = 256;

    explicit ControlModuleTable(IniFile& settings);

    // Slot 0 to 255 is the section "МОДУЛЬ УПРАВЛЕНИЯ 1" to "МОДУЛЬ УПРАВЛЕНИЯ 256".
    static QString sectionName(int slot);

    // Rebuilds the table from the settings file: a slot is used while its section holds a key.
    void fillSlots();
    bool used(int slot) const { return entries_[static_cast<std::size_t>(slot)] == usedEntry; }
    IniFile& settings() { return settings_; }

    // The used slots whose record names exactly this system node text and zone, in slot order.
    std::vector<int> slotsOf(const QString& system, const QString& zone) const;

    // Saving in the editor: every record of the record's system and zone goes, and the record
    // is written to the lowest free slot, so a zone keeps exactly one. Returns that slot;
    // nothing when all 256 slots hold modules of other zones (then nothing is written).
    std::optional<int> save(const ControlModuleRecord& record);
    // Erases every record of the system node text and zone; returns how many went.
    int erase(const QString& system, const QString& zone);
    // Erases every record of a system, as taking the system out of the complex does: those whose
    // "СИСТЕМА" equals the system node's text exactly. Returns how many went.
    int eraseSystem(const QString& system);

private:
    static constexpr std::uint8_t usedEntry = 0;
    static constexpr std::uint8_t freeEntry = 255;

    std::vector<int> usedSlotsWhere(const QString& system, const QString* zone) const;
    // Erases the sections of `slots` in one write and marks them free.
    int eraseSlots(const std::vector<int>& slots);
    void mark(int slot, std::uint8_t entry) { entries_[static_cast<std::size_t>(slot)] = entry; }

    IniFile& settings_;
    std::array<std::uint8_t, SlotCount> entries_;
};

} // namespace kirvan
