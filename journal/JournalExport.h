#pragma once

#include "journal/JournalFilter.h"
#include "journal/JournalIndex.h"

#include <QByteArray>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace kirvan {

// The column heads of the journal's table: date, time, system, detector, code, text.
QStringList journalColumnNames();
// A row of the table: the parts of the line in the order of the column heads.
QStringList journalColumns(const QString& line);

// The shown lines as CSV for office programs: UTF-8 with a byte-order mark (without it they take
// the text for the local 8-bit code page), ";" between the fields as Russian-language office
// programs expect, CR LF; first the filter, then the column heads.
QByteArray journalCsv(const JournalIndex& index, const std::vector<std::uint32_t>& rows, const JournalFilter& filter);

} // namespace kirvan
