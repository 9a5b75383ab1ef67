#pragma once

#include "remote/LogTail.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace kirvan {

// How far the broker has acknowledged the text log: the place of the first line not yet
// acknowledged and the sequence number that line gets. Kept in a file of the workstation folder,
// replaced whole and flushed, so a crash finds the old place or the new one; after a crash lines
// are published again from the old place with the same numbers, and a subscriber drops them.
struct PublishCursor {
    LogPosition position;
    std::uint64_t sequence = 1;

    bool operator==(const PublishCursor&) const = default;

    // Nothing when the file is missing or damaged.
    static std::optional<PublishCursor> load(const QString& path);
    // Throws FileWriteError when the file system refuses.
    void save(const QString& path) const;

    // The numbers of a workstation folder without a cursor begin at the milliseconds since 1970:
    // numbers given out before a lost cursor file stay below them, since the journal never gets a
    // thousand lines a second for long.
    static std::uint64_t firstSequence(std::int64_t msSinceEpoch) { return std::uint64_t(msSinceEpoch); }
};

} // namespace kirvan
