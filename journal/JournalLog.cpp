#include "journal/JournalLog.h"

#include "files/PathCase.h"
#include "platform/DesktopShell.h"

#include <QFileInfo>

namespace kirvan {

JournalLog::JournalLog(QString logPath) : file_(std::move(logPath)) {}

JournalLog::JournalLog(QString logPath, MessageLoop& loop) : file_(std::move(logPath), loop) {}

void JournalLog::logEvent(const QString& line)
{
    history_.add(line);
    file_.append(line);
    if (onLogged_)
        onLogged_();
}

bool JournalLog::openJournal(DesktopShell& shell)
{
    // Lines still waiting after an outage belong in what the operator is about to read.
    file_.flush();
    const QString path = resolvePathCase(file_.path());
    return !QFileInfo(path).isFile() || shell.openDocument(path);
}

} // namespace kirvan
