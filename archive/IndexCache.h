#pragma once

#include <QDateTime>
#include <QStringList>
#include <cstdint>

namespace kirvan {

// How long a kept index may lie unused, and how much the cache may hold: ten years of a log have
// indexes of 160 MB.
struct IndexCacheLimits {
    std::int64_t unusedDays = 90;
    std::int64_t bytes = std::int64_t(512) << 20;
};

// Removes from the cache folder the kept indexes whose log is gone or is no longer the file that
// was read (rotated on, deleted), those unused for longer than the limit, and then the least
// recently used until the rest fit. `inUse` (the names the open viewer reads) stay whatever their
// age; their bytes count first.
void tidyIndexCache(const QString& folder, const QDateTime& now, const QStringList& inUse,
                    const IndexCacheLimits& limits = {});

} // namespace kirvan
