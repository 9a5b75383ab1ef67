#pragma once

#include "remote/LogTail.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace kirvan {

// How far the receiving centre has acknowledged the text log: the line being transmitted, how
// many of its reports are acknowledged, the sequence number of the next message and the
// conditions still open before that line. Kept in KirvanMonitorP.pcn, replaced whole at each
// acknowledgement, so a crash or a restart sends again only what was not acknowledged, with the
// same number.
struct TransmitCursor {
    LogPosition position;
    int reportsDone = 0;
    int sequence = 1; // 1 to 9999
    QStringList open;
    QString lastAnswer; // for `kirvan-tool pcn status`

    bool operator==(const TransmitCursor&) const = default;

    // Nothing when the file is missing or damaged.
    static std::optional<TransmitCursor> load(const QString& path);
    // Throws FileWriteError when the file system refuses.
    void save(const QString& path) const;

    static int nextSequence(int sequence) { return sequence >= 9999 ? 1 : sequence + 1; }
};

} // namespace kirvan
