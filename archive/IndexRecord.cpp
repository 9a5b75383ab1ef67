#include "archive/IndexRecord.h"

#include <algorithm>

namespace kirvan {

namespace {

constexpr std::uint64_t MomentMask = (std::uint64_t(1) << 40) - 1;

int addressBit(std::int8_t address)
{
    return std::clamp(int(address) + 1, 0, 127);
}

} // namespace

IndexRecord IndexRecord::of(const JournalLineInfo& info, std::int64_t offset, std::int64_t length)
{
    IndexRecord record;
    record.what = (std::uint64_t(std::max<std::int64_t>(info.moment, 0)) & MomentMask)
                  | std::uint64_t(info.kind) << 40 | std::uint64_t(addressBit(info.address)) << 43;
    record.where = std::uint64_t(offset) | std::uint64_t(std::min(length, LongestLine)) << 40;
    return record;
}

JournalLineInfo IndexRecord::info() const
{
    JournalLineInfo info;
    info.moment = std::int64_t(what & MomentMask);
    info.kind = JournalKind((what >> 40) & 7);
    info.address = std::int8_t(int((what >> 43) & 127) - 1);
    return info;
}

void IndexBlock::add(const JournalLineInfo& info)
{
    earliest = std::min(earliest, info.moment);
    latest = std::max(latest, info.moment);
    kinds |= kindBit(info.kind);
    const int bit = addressBit(info.address);
    addresses[bit / 64] |= std::uint64_t(1) << (bit % 64);
}

bool IndexBlock::mayAdmit(const JournalFilter::Conditions& c) const
{
    if ((kinds & c.kinds) == 0 || (c.from != 0 && latest < c.from) || (c.to != 0 && earliest > c.to))
        return false;
    if (c.address < 0)
        return true;
    const int bit = addressBit(std::int8_t(c.address));
    return (addresses[bit / 64] >> (bit % 64) & 1) != 0;
}

} // namespace kirvan
