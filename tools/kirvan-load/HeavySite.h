#pragma once

#include "tools/kirvan-load/ZoneDetectors.h"

#include <QString>
#include <QTextStream>
#include <vector>

namespace kirvan::load {

// A site as it is run, with everything slow in place: every target zone gets a plan of its own,
// a 10000 × 7000 PNG scan; the mailbox holds a 1 MB packet with many attributes; the text log has
// 1,000,000 lines for the journal viewer to read. Prints what it did.
void prepareHeavySite(const QString& folder, const std::vector<Target>& targets, QTextStream& out);

} // namespace kirvan::load
