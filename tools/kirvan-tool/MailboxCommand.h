#pragma once

#include <QStringList>
#include <QTextStream>

namespace kirvan {

class MessageLoop;

// kirvan-tool mailbox send ADDRESS STATUS [--dir DIR] [--timeout S]: leaves a request in the
// workstation folder's command mailbox as a writing program does and waits until the workstation
// has taken it (exit 0) or the time is up (exit 1, saying whether the request was withdrawn, never
// written because another one waited, or replaced by another writer's).
// kirvan-tool mailbox show [--dir DIR]: the first record and the command it stands for.
// Without --dir the folder is `defaultFolder`.
int runMailboxCommand(const QStringList& arguments, MessageLoop& loop, const QString& defaultFolder, QTextStream& out,
                      QTextStream& err);

} // namespace kirvan
