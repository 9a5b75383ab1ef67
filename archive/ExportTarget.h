#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace kirvan {

// Where an export or a printout of the journal may be written. Anyone at the console may export,
// so the file dialog must not become a way to replace the workstation's own files: nothing is
// written inside the workstation folder (through a link neither), and an existing file is only
// replaced when it is an earlier export (.csv, .pdf) with no other name.
// Why `file` may not take an export, in Russian; nothing when it may.
std::optional<QString> exportRefusal(const QString& file, const QString& workstationFolder);

// The suggested name of an export made at `at`: "журнал 2026-12-10 03-50.csv", so that exports
// of different days never ask to replace each other.
QString exportFileName(const QDateTime& at, const QString& suffix);

} // namespace kirvan
