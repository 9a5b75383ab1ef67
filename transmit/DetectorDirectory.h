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
// (address "01", detector "И01-05") → entry.
using DetectorDirectory = QHash<QPair<QString, QString>, DetectorEntry>;

// The directory of a freshly loaded tree, before any alarm has changed its pictures.
DetectorDirectory detectorDirectory(const CompositionTree& tree);

} // namespace kirvan
