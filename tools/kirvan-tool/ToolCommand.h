#pragma once

#include <QStringList>
#include <QTextStream>

namespace kirvan {

class IniStore;

// Exit statuses of kirvan-tool.
enum ToolStatus { ToolOk = 0, ToolFailed = 1, ToolUsage = 2 };

// Runs one command line of kirvan-tool (without the program name) and returns its exit status.
// Usage errors print the usage text to `err`; failures print one line to `err`.
int runToolCommand(const QStringList& arguments, IniStore& store, QTextStream& in, QTextStream& out,
                   QTextStream& err);

} // namespace kirvan
