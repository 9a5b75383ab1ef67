#pragma once

#include <QString>

namespace kirvan {

// The device file of COM n: ports/COMn of the workstation folder when that entry exists (a link
// that points nowhere counts too, so a missing adapter is not replaced by another device),
// otherwise /dev/ttyS<n-1>. Empty for numbers below 1.
QString portDevicePath(const QString& workstationFolder, int comNumber);

} // namespace kirvan
