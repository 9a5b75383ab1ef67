#pragma once

#include "access/PasswordHash.h"

#include <QStringList>
#include <QTextStream>

namespace kirvan {

class Clock;
class IniStore;
class Locale;
class MessageLoop;

// Exit statuses of kirvan-tool.
enum ToolStatus { ToolOk = 0, ToolFailed = 1, ToolUsage = 2 };

// What the commands run on: main gives the real ones, tests their doubles.
struct ToolPlatform {
    IniStore& store;
    MessageLoop& loop;
    // Journal lines are dated as the workstation dates them.
    const Clock& clock;
    const Locale& locale;
    // The workstation folder of commands given no --dir: the folder of the program file.
    QString defaultFolder;
    // What a password hash of `user add` and `user passwd` costs (tests choose the cheapest).
    HashCost passwordCost = HashCost::signIn();
};

// Runs one command line of kirvan-tool (without the program name) and returns its exit status.
// Usage errors print what is wrong and the usage line to `err`; failures print one line to `err`.
int runToolCommand(const QStringList& arguments, const ToolPlatform& platform, QTextStream& in, QTextStream& out,
                   QTextStream& err);

} // namespace kirvan
