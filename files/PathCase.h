#pragma once

#include <QString>

namespace kirvan {

// File names are matched without regard to letter case, Latin and Cyrillic alike, as the
// configuration written on Windows expects. Returns `path` when it exists as written; otherwise
// each component is looked up case-insensitively, and from the first component that is not found
// on the rest is kept as written (so a file about to be created keeps the caller's spelling).
// Among several names that differ only in case the first in sort order is taken.
QString resolvePathCase(const QString& path);

} // namespace kirvan
