#pragma once

#include <QStringList>
#include <QTextStream>

namespace kirvan {

struct ToolPlatform;

// kirvan-tool system add FILE ADDRESS --dir DIR and system remove ADDRESS --dir DIR: the window's
// "Ввести в состав" and "Вывести из состава" for installers, on a workstation folder whose
// program is not running, writing the same files byte for byte.
int runSystemCommand(const QStringList& arguments, const ToolPlatform& platform, QTextStream& out, QTextStream& err);

} // namespace kirvan
