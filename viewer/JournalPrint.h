#pragma once

#include "archive/JournalExport.h"
#include "archive/JournalFilter.h"
#include "archive/JournalIndex.h"

#include <cstdint>
#include <vector>

class QPagedPaintDevice;

namespace kirvan {

// Prints the shown lines of the journal as a table, page after page, each page headed by the
// filter and the page number; runs on another thread (the device is a printer or a PDF file).
// Failed when the device cannot be painted on (no printer, a PDF file that cannot be written);
// Cancelled leaves the pages printed so far to the caller to abort.
ExportEnd printJournal(QPagedPaintDevice& device, const JournalIndex& index, const std::vector<std::uint32_t>& rows,
                       const JournalFilter& filter, ExportProgress& progress);

} // namespace kirvan
