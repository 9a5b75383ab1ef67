#pragma once

#include "journal/JournalExport.h"

#include <QString>
#include <functional>

class QWidget;

namespace kirvan {

// Runs an export or a printout on another thread, so the main thread (and every alarm) never
// waits for it, with a progress dialog whose button cancels it. The work must own everything it
// uses: the window that started it may close meanwhile. `done` runs on the main thread at the end,
// unless `owner` is gone by then.
void runExport(QWidget* owner, const QString& label, std::size_t rows,
               std::function<ExportEnd(ExportProgress& progress)> work, std::function<void(ExportEnd end)> done);

} // namespace kirvan
