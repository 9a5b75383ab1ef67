#pragma once

#include <QString>
#include <QTextStream>

namespace kirvan {

// Loads the configuration of a workstation folder twice on the program's real message loop and
// reports, for each load, the time without the fixed Delay, and the resident memory with the
// tree loaded. Returns the exit status.
int measureLoad(const QString& folder, QTextStream& out);

} // namespace kirvan
