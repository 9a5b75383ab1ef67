#pragma once

#include <QHash>
#include <QPair>
#include <QString>

namespace kirvan {

class CompositionTree;

// What the receiving centre knows of a detector: its zone, the detector's running number in its
// system in the order of the composition, and whether it guards against intruders (its alarm is
// then a burglary, not a fire).
struct DetectorEntry {
    int zone = 0;
    bool security = false;
};
struct DetectorDirectory {
    // (address "01", detector "И01-05") → entry.
    QHash<QPair<QString, QString>, DetectorEntry> detectors;
    // Address → the system's name as its journal lines give it ("СКЛАД").
    QHash<QString, QString> systems;

    DetectorEntry entry(const QString& address, const QString& detector) const
    {
        return detectors.value({address, detector});
    }
};

// The directory of a freshly loaded tree, before any alarm has changed its pictures.
DetectorDirectory detectorDirectory(const CompositionTree& tree);

} // namespace kirvan
