#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

namespace kirvan {

class MessageLoop;
class Timer;

// The text log: lines appended in Windows-1251 with CR LF, the file opened for each write and
// closed right after, so other programs can read or copy it at any time, and created anew when
// it is missing. It is never shortened, except to take back a write that failed half-way. A last
// line that an earlier run left without its end gets its CR LF before the next line.
//
// A log that cannot be written (folder missing or read-only, disk full, file locked) does not
// stop the caller and loses nothing while the program runs: the lines wait in memory, in order,
// and go out before any newer line as soon as a write succeeds — tried again with every new line
// and, with a message loop, every RetryIntervalMs while lines wait. The operator is told once when
// an outage begins and once when it has ended. At most MaxWaitingLines wait; later lines of a long
// outage are counted instead, and the count is logged after the waiting lines when writing resumes.
class LogFile {
public:
    static constexpr int RetryIntervalMs = 2000;
    static constexpr qsizetype MaxWaitingLines = 100'000;
    using Notification = std::function<void(const QString& message)>;

    // Without a message loop, waiting lines are tried again only with the next line.
    explicit LogFile(QString path);
    LogFile(QString path, MessageLoop& loop);
    // Makes a last attempt; lines that still cannot be written go to standard error.
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    const QString& path() const { return path_; }

    // Queues the line and writes every waiting line. Never throws for the file.
    void append(const QString& line);
    // Writes the waiting lines; true when none are left.
    bool flush();

    // How many lines may wait; MaxWaitingLines unless changed.
    void setWaitingLimit(qsizetype lines) { waitingLimit_ = lines; }

    // A clear Russian message naming the file and the system's error, once per outage; without
    // a handler it goes to standard error.
    void setOnWriteFailure(Notification handler) { onFailure_ = std::move(handler); }
    // Once the waiting lines have been written after an outage.
    void setOnWriteRecovered(Notification handler) { onRecovered_ = std::move(handler); }

private:
    int writeWaiting();
    void queue(const QString& line);
    void notify(const Notification& handler, const QString& message) const;

    QString path_;
    QByteArray waiting_; // whole lines, CR LF included
    qsizetype waitingLines_ = 0;
    qsizetype droppedLines_ = 0;
    qsizetype waitingLimit_ = MaxWaitingLines;
    // The file holds the start of the first waiting line: its cut could not be taken back.
    bool waitingStartsMidLine_ = false;
    // The file as this process's last complete write left it, ending with a line end: while it
    // is still so, the look at its last byte is spared.
    struct FileEnd {
        unsigned long long device = 0;
        unsigned long long inode = 0;
        long long size = -1;
        bool operator==(const FileEnd&) const = default;
    };
    FileEnd writtenEnd_;
    bool failing_ = false;
    std::unique_ptr<Timer> retryTimer_;
    Notification onFailure_;
    Notification onRecovered_;
};

} // namespace kirvan
