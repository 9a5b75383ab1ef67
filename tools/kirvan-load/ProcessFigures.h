#pragma once

#include <QString>
#include <optional>
#include <sys/types.h>

namespace kirvan::load {

// What /proc tells of a process: resident memory and processor time.
struct ProcessFigures {
    long residentKb = 0;
    double cpuSeconds = 0; // user and system time of all its threads
};

// Nothing when the process is gone.
std::optional<ProcessFigures> processFigures(pid_t pid);

QString megabytes(long kilobytes);

} // namespace kirvan::load
