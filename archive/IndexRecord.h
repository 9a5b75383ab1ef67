#pragma once

#include "archive/JournalFilter.h"
#include "journal/JournalLine.h"

#include <cstdint>
#include <limits>

namespace kirvan {

// What the index keeps of one line, in 16 bytes: its moment (40 bits hold the year 9999), kind
// and system, and where it lies (40 bits of offset, a terabyte) with its length. A longer line
// than the length holds is kept by its beginning.
struct IndexRecord {
    static constexpr std::int64_t LongestLine = (std::int64_t(1) << 24) - 1;

    std::uint64_t what = 0;
    std::uint64_t where = 0;

    static IndexRecord of(const JournalLineInfo& info, std::int64_t offset, std::int64_t length);
    JournalLineInfo info() const;
    std::int64_t offset() const { return std::int64_t(where & ((std::uint64_t(1) << 40) - 1)); }
    std::int64_t length() const { return std::int64_t(where >> 40); }
    // The line was longer than the length kept: its end cannot be checked.
    bool cut() const { return length() == LongestLine; }
};
static_assert(sizeof(IndexRecord) == 16);

// What a run of records holds at most, so that a filter skips the runs it cannot admit without
// reading their records.
struct IndexBlock {
    static constexpr std::int64_t Records = 4096;

    std::int64_t earliest = std::numeric_limits<std::int64_t>::max();
    std::int64_t latest = std::numeric_limits<std::int64_t>::min();
    std::uint64_t kinds = 0;
    std::uint64_t addresses[2] = {0, 0}; // bit address + 1: none, 0 … 99

    void add(const JournalLineInfo& info);
    bool mayAdmit(const JournalFilter::Conditions& conditions) const;
};
static_assert(sizeof(IndexBlock) == 40);

} // namespace kirvan
