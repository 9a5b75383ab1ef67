#pragma once

#include <QString>
#include <QTextStream>

namespace kirvan::load {

struct SoakOptions {
    QString folder;
    QString workstation; // the program KirvanMonitorP
    double eventsPerSecond = 50; // 0: as fast as the line takes them, frames back to back
    int minutes = 30;
};

// Runs the workstation on `folder` against the simulator in this process, which sends fires,
// faults and technology alarms at the chosen rate for the chosen time, and prints every minute
// the events sent, the journal lines written, the workstation's resident memory and processor
// time. Needs a QCoreApplication. Returns the exit status: 1 when events were lost.
int runSoak(const SoakOptions& options, QTextStream& out);

} // namespace kirvan::load
