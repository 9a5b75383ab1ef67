#pragma once

#include "tools/kirvan-sim/EventFrames.h"

#include <QString>
#include <vector>

namespace kirvan::load {

// A detector the measurements fire at.
struct Target {
    int address = 0;
    QString id; // И12-05
    sim::Point point;
    QString zone; // the zone node's text
};

// The first detector of every zone of the composition file of a workstation folder, in tree
// order: a fire in each reaches a zone not yet touched. Empty when the file has none.
std::vector<Target> firstDetectorOfEachZone(const QString& folder);

// `count` of them spread evenly over the list (all when it has fewer).
std::vector<Target> spread(const std::vector<Target>& targets, std::size_t count);

} // namespace kirvan::load
