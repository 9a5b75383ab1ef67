#pragma once

#include <QString>
#include <vector>

namespace kirvan::load {

// The machine's load average over the last minute, from /proc; empty when it cannot be read.
QString machineLoad();

// What a soak's minutes say of the processor share (percent of a core, one value a minute): the
// first minute apart (the alarms build up in it), the mean and range of the rest, and from twenty
// minutes on the first ten minutes after it against the last ten.
QString processorSummary(const std::vector<double>& minutes);

} // namespace kirvan::load
