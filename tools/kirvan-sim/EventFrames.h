#pragma once

#include "link/Frame.h"

#include <QString>
#include <cstdint>

namespace kirvan::sim {

// What a system can report on its own. Each kind has one frame form that the workstation
// decodes back into the kind's record (named beside it).
enum class EventKind {
    Normal, // NN/И01-01/00, the system works normally
    SwitchedOn, // 03
    SwitchedOff, // 05
    Fire, // 07
    Fault, // 08, a detector
    NoLink, // 09, point 64 of a device
    ShortCircuit, // 10, a line of a device
    ContactClosed, // 24
    ContactOpened, // 25
    Armed, // 30
    Disarmed, // 31
    PowerFailure, // 32, point 62 of a device
    Release, // 38, extinguishing agent released
    Technology, // 51
};

// A point of a system: device digit 0 to 15 (0 ПУ-П, 1-8 ППКП, 9-E БРВУ), line 1 to 8 (16 for
// contacts), number 1 to 64.
struct Point {
    int device = 0;
    int line = 1;
    int number = 1;
};

// The event frame of a system at `address`, starting with 0x20 and ending with its checksum.
Frame eventFrame(EventKind kind, int address, const Point& point);
// The answer to a link check: 20 AA 00 00 00 00 CS.
Frame answerFrame(int address);
// The record the workstation makes of an event of this kind at this point, e.g. 01/И12-05/07.
QString expectedRecord(EventKind kind, int address, const Point& point);

} // namespace kirvan::sim
