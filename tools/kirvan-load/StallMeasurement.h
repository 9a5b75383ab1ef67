#pragma once

#include <QString>
#include <QTextStream>

namespace kirvan::load {

// The workstation's window on the complex of `folder`, against the simulator in this process:
// prints resident memory with the complex loaded, then fires in `zones` different zones, one
// every `intervalMs`, and the longest stall of the main thread and the longest pause between
// two frames the workstation sent while they arrived, and the longest time from a fire frame's
// last byte to its journal line. `heavy` first puts the slow things of a site in place (see
// HeavySite) and opens the journal viewer (a process of its own) on the log while the fires
// come. Needs a QApplication.
// Returns the exit status.
int measureStalls(const QString& folder, int zones, int intervalMs, bool heavy, QTextStream& out);

} // namespace kirvan::load
