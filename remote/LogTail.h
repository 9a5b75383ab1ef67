#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <vector>

namespace kirvan {

// A place in the text log: the file (its device and inode, which a rename keeps) and the offset
// of the next line in it.
struct LogPosition {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t offset = 0;
    bool operator==(const LogPosition&) const = default;
};

// Reads the text log onwards from a place, one complete line at a time (a line still being
// written waits for its CR LF). The log rotation renames the log and the workstation starts a new
// one: a place in the renamed file is found again by its inode among the log's predecessors
// (KirvanMonitorP.txt-YYYYMMDD, KirvanMonitorP.txt.N), read to its end, and the new log follows.
// A place whose file has gone, or a log cut shorter than the place, goes on at the start of the
// log; `lostFiles` counts those jumps.
class LogTail {
public:
    struct Line {
        QByteArray bytes; // Windows-1251, without CR LF
        LogPosition next; // where the line after it begins
    };

    explicit LogTail(QString logPath) : logPath_(std::move(logPath)) {}

    // The end of the log as it is now (a missing log: its start, once it is made).
    LogPosition end() const;
    // At most `limit` lines after `from`, in order.
    std::vector<Line> read(const LogPosition& from, std::size_t limit);
    std::uint64_t lostFiles() const { return lostFiles_; }

private:
    QString findPredecessor(const LogPosition& place) const;
    static bool readFile(const QString& path, LogPosition from, std::size_t limit, std::vector<Line>& lines);

    QString logPath_;
    std::uint64_t lostFiles_ = 0;
};

} // namespace kirvan
