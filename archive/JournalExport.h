#pragma once

#include "archive/JournalFilter.h"
#include "archive/JournalIndex.h"

#include <QByteArray>
#include <QIODevice>
#include <QStringList>
#include <atomic>
#include <cstdint>
#include <vector>

namespace kirvan {

// The column heads of the journal's table: date, time, system, detector, code, text.
QStringList journalColumnNames();
// A row of the table: the parts of the line in the order of the column heads.
QStringList journalColumns(const QString& line);

// How far an export of the journal has come, and whether it is still wanted: an export runs on
// another thread, and the window shows this and may cancel it.
struct ExportProgress {
    std::atomic<std::size_t> rowsDone{0};
    std::atomic<bool> cancelled{false};
};
enum class ExportEnd { Done, Cancelled, Failed };

// Writes the shown lines as CSV for office programs: UTF-8 with a byte-order mark (without it
// they take the text for the local 8-bit code page), ";" between the fields as Russian-language
// office programs expect, CR LF; first the filter, then the column heads. Failed when `out`
// refuses a write.
ExportEnd writeJournalCsv(QIODevice& out, const JournalIndex& index, const std::vector<std::uint32_t>& rows,
                          const JournalFilter& filter, ExportProgress& progress);

} // namespace kirvan
