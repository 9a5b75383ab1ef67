#pragma once

#include <QString>
#include <QTextStream>

namespace kirvan::load {

// Writes the journal of a workstation that has run for ten years into `folder`, as logrotate
// leaves it: 120 monthly files KirvanMonitorP.txt-YYYYMMDD, each the lines of one month, and the
// month under way in KirvanMonitorP.txt; about ten million lines and 917 MiB of Windows-1251 with
// CR LF. Kept when the folder already holds it. False when a file cannot be written.
bool writeTenYearArchive(const QString& folder, QTextStream& out);

} // namespace kirvan::load
