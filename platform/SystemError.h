#pragma once

#include <QString>

namespace kirvan {

// The reason of a failed system call, in Russian for the operator whatever the regional settings
// ("нет доступа", "нет места на диске"); an error without a text of its own keeps the system's
// words with its number.
QString systemErrorText(int error);

} // namespace kirvan
