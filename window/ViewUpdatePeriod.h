#pragma once

namespace kirvan {

// Under a flood the views of the window follow at most once in their period, the first change
// after a quiet one at once: painting is most of what a flood costs the alarm process. The
// alarms' own views (the alarm list and its summary, the plan's markers, the tree's pictures, the
// window brought forward) follow twice a second; the status word and the sound do at once.
inline constexpr int viewUpdateMs = 500;
// The journal's views (the grid, the history line) and the status bar follow a flood once a
// second: nobody reads sixty lines a second as they come, and the grid is the largest repaint.
inline constexpr int journalUpdateMs = 1000;

} // namespace kirvan
