#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace kirvan {

class Dialogs;
class IniFile;
class IniStore;
class SettingsFile;

// Line numbers of a system's panels: entry x is the number that precedes the first line of device
// x, so line y of device x is LineBase[x] + y. Device 0 has eight lines from 0 on; each control
// panel present ("ППКП1" … "ППКП8") adds eight lines, or four when its entry reads "-4". Read anew
// for every command, since another program may change the system file.
class LineBase {
public:
    static constexpr int deviceCount = 9;

    explicit LineBase(const IniFile& systemFile);

    // Nothing for a device at or beyond the first absent panel: the panels behind a gap cannot be
    // counted, and a frame for them would reach a detector of another device.
    std::optional<int> operator[](int device) const;
    // Nothing also for a line the device does not have (a panel of four lines has lines 1 to 4),
    // since its number is that of another device's line.
    std::optional<int> lineNumber(int device, int line) const;

private:
    struct Device {
        int base;
        int lines;
    };
    std::array<std::optional<Device>, deviceCount> devices_{};
};

// A command frame for one detector, with the line number in parameter A (plus 128 when the
// detector is switched off) and the detector index in parameter B.
struct DetectorCommand {
    std::uint8_t address;
    std::uint8_t code;
    std::uint8_t parameterA;
    std::uint8_t parameterB;
};

// The detector of a panel command: system address, device digit x, line digit y and detector
// number zz as the tree node or the marker's hint gives them.
struct DetectorAddress {
    int address;
    int device;
    int line;
    int number;
};

// Builds the frame of a panel command for a detector from its system's file. Without a system
// file under the address the operator is told "Не обнаружен файл конфигурации!" and nothing is
// returned, so nothing is sent; the same for a device whose lines cannot be counted.
std::optional<DetectorCommand> buildDetectorCommand(const SettingsFile& settings, IniStore& store, Dialogs& dialogs,
                                                    const DetectorAddress& detector, std::uint8_t code,
                                                    bool switchOff = false);

} // namespace kirvan
