#pragma once

#include "tools/kirvan-sim/SimCommand.h"

#include <QString>
#include <QStringList>
#include <variant>
#include <vector>

namespace kirvan::sim {

// A script of timed steps, one a line: "wait SECONDS" pauses (decimal, e.g. wait 2.5), any other
// line is a command of the prompt. Blank lines and lines beginning with "#" are passed over.
struct ScriptStep {
    double waitSeconds = 0; // > 0: a pause, and the command is unused
    QString text; // the command as written, for the log
    SimCommand command;
};

struct Script {
    std::vector<ScriptStep> steps;
    QStringList errors; // "demo-script.txt:4: unknown command ..." — the script is refused
};

// Reads and checks the whole script before it runs, so that a typo is found at start, not
// minutes later.
Script readScript(const QString& path, SimComplex& complex);
Script parseScript(const QString& name, QStringView text, SimComplex& complex);

} // namespace kirvan::sim
