#pragma once

#include "platform/WaveFile.h"

namespace kirvan::tones {

// The workstation's own sounds, synthesised so that no sound file has to come from elsewhere.

// "fault.wav": a short two-tone chirp, high then low, played once per blink while a fault is
// shown. Calls attention without being mistaken for a fire.
Wave faultChirp();

// "alarm.wav": one second of a fire sounder's sweeping tone, rising twice from 500 to 1000 Hz,
// played in a loop while a fire or technology alarm is shown.
Wave alarmSweep();

// The built-in alert played when a sound file is missing or unreadable: a hard-edged two-tone
// warble, unlike both files, so that the operator hears that something is wrong with them.
Wave builtInAlert();

} // namespace kirvan::tones
