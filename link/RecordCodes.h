#pragma once

namespace kirvan {

// Event codes of the records the systems report, those that end or begin a condition by their
// code alone rather than by the alarm they announce.
namespace recordcode {
inline constexpr int normal = 0; // the system answers and reports no fault
inline constexpr int controlCheck = 1;
inline constexpr int switchedOn = 3; // a detector switched on
inline constexpr int switchedOff = 5; // a detector switched off
inline constexpr int fire = 7;
inline constexpr int noLink = 23; // no link with the system
} // namespace recordcode

} // namespace kirvan
