#pragma once

namespace kirvan {

// Under a flood every view of the window (journal, alarm list, plan markers, the raise) follows at
// most once in this time, the first change after a quiet one at once: twice a second is as fast
// as anyone reads a flood, and painting is most of what a flood costs the alarm process.
inline constexpr int viewUpdateMs = 500;

} // namespace kirvan
