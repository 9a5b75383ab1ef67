#pragma once

#include <QStringList>
#include <QTextStream>

namespace kirvan {

struct ToolPlatform;

// kirvan-tool pcn test [--dir DIR]: sends the receiving centre of the folder's "ПЦН" settings a
// periodic test report and prints its answer and the round trip (only while no workstation runs
// on the folder: the two would number their messages alike). kirvan-tool pcn status [--dir DIR]:
// the transmission's cursor and the receiver's last answer.
int runPcnCommand(const QStringList& arguments, const ToolPlatform& platform, QTextStream& out, QTextStream& err);

} // namespace kirvan
