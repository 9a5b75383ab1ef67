#pragma once

#include "files/IniFile.h"
#include "tools/kirvan-sim/EventFrames.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <stdexcept>
#include <vector>

namespace kirvan {
class IniStore;
}

namespace kirvan::sim {

// A workstation folder the simulator cannot play: missing, without settings, without systems.
class ComplexError : public std::runtime_error {
public:
    explicit ComplexError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

struct Detector {
    QString id; // И12-05
    Point point;
    bool on = false;
};

// One alarm system the simulator plays: an "АДРЕС" entry of the settings whose system file exists.
struct SimSystem {
    int address = 0;
    QString name; // the upper-case base name, as the workstation names it
    QString file;
    // The running line number of the first line of each device, less one, as the workstation
    // counts lines for its detector commands (device 0 from 0, device 1 from 8, then 8 or 4 more
    // lines per present ППКП).
    std::array<int, 9> lineBase{};
    std::vector<Detector> detectors; // those of the composition file, in its order
};

// The complex as the workstation folder describes it: the settings' "АДРЕС" entries, the system
// files, the composition file for the detectors and the detector files for their texts.
class SimComplex {
public:
    // Throws ComplexError when the folder or its settings are missing or no system file exists.
    SimComplex(IniStore& store, const QString& folder);

    const std::vector<SimSystem>& systems() const { return systems_; }
    SimSystem* system(int address);
    Detector* detector(int address, QStringView id);
    // Zone and text of a detector from its detector file, for the log.
    QString describe(int address, const QString& id) const;
    // A detector of the system's detector files, whether or not the composition lists it.
    bool detectorExists(int address, const QString& id) const;
    // The device and line of a running line number; nothing when no device has it.
    static std::optional<Point> pointOfLine(const SimSystem& system, int lineNumber, int number);

private:
    IniFile detectorFile(const SimSystem& system, const QString& id) const;

    IniStore& store_;
    std::vector<SimSystem> systems_;
};

// "И12-05" as its point; nothing for another form.
std::optional<Point> parseDetectorId(QStringView id);
QString detectorIdOf(const Point& point);

} // namespace kirvan::sim
