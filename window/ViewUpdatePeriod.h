#pragma once

namespace kirvan {

// Under a flood every view of the window (journal, alarm list, plan markers, the raise) follows at
// most once in this time, the first change after a quiet one at once: four times a second is as
// fast as anyone reads and costs the alarm process little.
inline constexpr int viewUpdateMs = 250;

} // namespace kirvan
