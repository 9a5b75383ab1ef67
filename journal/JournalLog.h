#pragma once

#include "journal/HistoryLine.h"
#include "journal/LogFile.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace kirvan {

class DesktopShell;
class MessageLoop;

// logEvent: every journal line goes to the history line (text field and drop-down list of this
// run) and to the text log KirvanMonitorP.txt of all runs (Windows-1251, CR LF, opened per line).
// A log that cannot be written never stops the caller: see LogFile.
class JournalLog {
public:
    // Without a message loop, lines the file refused are tried again only with the next line.
    explicit JournalLog(QString logPath);
    // The loop drives the retries of refused lines while they wait.
    JournalLog(QString logPath, MessageLoop& loop);

    // Shows the line in the history line, adds it to its list, appends it to the log. Never
    // throws because the log cannot be written.
    void logEvent(const QString& line);
    // After every line logged (remote monitoring reads the log on).
    void setOnLogged(std::function<void()> handler) { onLogged_ = std::move(handler); }

    // The history line: the text field and its list, oldest first.
    const QString& historyText() const { return history_.text(); }
    const QStringList& historyList() const { return history_.list(); }
    HistoryLine& history() { return history_; }

    LogFile& logFile() { return file_; }
    // Told once when the log cannot be written and once when the waiting lines are in it again.
    void setOnWriteFailure(LogFile::Notification handler) { file_.setOnWriteFailure(std::move(handler)); }
    void setOnWriteRecovered(LogFile::Notification handler) { file_.setOnWriteRecovered(std::move(handler)); }

    // "Просмотр журнала" (F3): opens the log with the desktop's viewer for it, when the file exists.
    // False when the log exists but the desktop has no program to show it.
    bool openJournal(DesktopShell& shell);

private:
    HistoryLine history_;
    LogFile file_;
    std::function<void()> onLogged_;
};

} // namespace kirvan
