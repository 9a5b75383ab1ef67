#pragma once

#include <QString>
#include <QTextStream>

namespace kirvan {

// Adds the first system of a largest-complex folder (256 zones, 9 devices of 480 detectors) to
// a fresh workstation folder inside it, as "Ввести в состав" does apart from its fixed pause, and
// reports the time, the processor time and the longest stretch without a progress report (the
// window handles its messages at each). Returns the exit status.
int measureAddition(const QString& folder, QTextStream& out);

} // namespace kirvan
