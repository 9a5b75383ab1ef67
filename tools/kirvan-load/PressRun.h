#pragma once

#include <QString>
#include <QTextStream>

namespace kirvan::load {

struct PressOptions {
    QString folder;
    QString workstation; // the program KirvanMonitorP
    int presses = 1000;
};

// Presses F5 ("Контроль") on the real window of the workstation, which runs on `folder` against
// the simulator in this process, at random moments of the polling tick, through the X server of
// DISPLAY (xdotool). After each press the check must end with its "НОРМА" line and the simulator
// must go on answering polls; a press whose "НОРМА" does not come within seconds is a hang.
// Prints the presses, the hangs and the time to "НОРМА". Returns 1 when a press hung.
int runPresses(const PressOptions& options, QTextStream& out);

} // namespace kirvan::load
