#pragma once

#include "journal/JournalFilter.h"
#include "journal/JournalIndex.h"

#include <cstdint>
#include <vector>

class QPagedPaintDevice;

namespace kirvan {

// Prints the shown lines of the journal as a table, page after page, each page headed by the
// filter and the page number. False when the device cannot be painted on (no printer, a PDF file
// that cannot be written).
bool printJournal(QPagedPaintDevice& device, const JournalIndex& index, const std::vector<std::uint32_t>& rows,
                  const JournalFilter& filter);

} // namespace kirvan
