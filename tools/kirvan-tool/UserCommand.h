#pragma once

#include <QStringList>
#include <QTextStream>

namespace kirvan {

struct ToolPlatform;

// kirvan-tool user add NAME --level N | user passwd NAME | user remove NAME | user list, each
// with [--dir DIR] (default: the platform's folder); add and passwd read the password twice from
// the terminal without echo, or once from `in` with --password-stdin.
int runUserCommand(const QStringList& arguments, const ToolPlatform& platform, QTextStream& in, QTextStream& out,
                   QTextStream& err);

} // namespace kirvan
