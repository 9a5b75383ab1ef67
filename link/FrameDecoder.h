#pragma once

#include "link/Frame.h"

#include <QString>

namespace kirvan {

// What an accepted frame is: only frames starting with 0x20 come from the stations; of those,
// code 0 answers a poll and any other code reports an event. Frames starting with an address
// byte (this station's own, heard back) are ignored.
enum class FrameKind { Ignored, Answer, Event };

inline FrameKind frameKind(const Frame& frame)
{
    if (frame[0] != 0x20)
        return FrameKind::Ignored;
    return frame[2] == 0 ? FrameKind::Answer : FrameKind::Event;
}

// Turns an event frame (b0 = 0x20, b2 != 0) into its event record, e.g. 01/И12-05/07. In the high
// branch (b2 >= 0x80) a b4 with bit 7 set is reduced to its low six bits in the frame itself, as
// the receiver's frame buffer keeps it.
// A field wider than its place (an address or element number of 100 or more, a sub-number of 10
// or more) makes the record longer than 12 characters; such a record names nothing that exists
// in a complex, and its code does not stand at characters 11-12 (see isNominalRecord).
QString decodeFrame(Frame& frame);

inline constexpr qsizetype eventRecordLength = 12;

// True for a record whose fields all have their nominal width, so that the event code stands at
// characters 11-12 where the dispatch reads it.
inline bool isNominalRecord(const QString& record)
{
    return record.size() == eventRecordLength;
}

} // namespace kirvan
