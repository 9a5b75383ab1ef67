#pragma once

#include <QString>
#include <QTextStream>

namespace kirvan::load {

// The journal viewer on the ten-year archive in `folder` (written first when missing): the index
// as the viewer builds it (the first time, and again from the kept indexes in `cacheFolder`),
// the first filter, one day's filter and the memory this takes; then the real programs, the
// workstation and the viewer started beside it as the workstation starts it, their resident
// memory as the viewer opens, filters and follows four rotations of the log.
int measureArchive(const QString& folder, const QString& cacheFolder, QTextStream& out);

} // namespace kirvan::load
