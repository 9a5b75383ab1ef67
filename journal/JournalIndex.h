#pragma once

#include "journal/JournalFilter.h"
#include "journal/JournalLine.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>
#include <stop_token>
#include <vector>

namespace kirvan {

// The lines of the text log and of its rotated predecessors (KirvanMonitorP.txt-YYYYMMDD of the
// log rotation, or KirvanMonitorP.txt.N), oldest first: read once to note where each line lies and
// what it reports, and read again line by line only when shown, so a log of a million lines takes
// a few tens of megabytes. The files are only read: never locked, written or renamed.
//
// A copy is cheap and never changes under its holder (what has been read is shared and fixed), so
// a copy can be filtered on another thread while the original follows the log.
class JournalIndex {
public:
    struct Entry {
        std::int64_t offset = 0;
        std::uint32_t length = 0; // without CR LF
        std::uint16_t file = 0;
        JournalLineInfo info;
    };

    JournalIndex() = default;
    // Reads the log's predecessors and the log itself. Takes its time: not on the window's thread
    // for a large log. A stop ends it early with what has been read.
    static JournalIndex build(const QString& logPath, const JournalDateOrder& order, std::stop_token stop = {});

    enum class Follow { Unchanged, Appended, Rotated };
    // Takes up the lines completed in the log since the last look. Rotated: the log was renamed or
    // cut since, and only a new build shows it as it is.
    Follow follow();

    qsizetype size() const { return size_; }
    const Entry& entry(qsizetype row) const;
    // The line as it is, or "не удалось прочитать" when the file no longer holds it.
    QString line(qsizetype row) const;
    // Lines whose date could not be read; they are placed at the moment of the line before.
    qsizetype undated() const { return undated_; }
    // The files read, oldest first; the log itself is the last.
    QStringList files() const;

    // The rows from `first` on that the filter shows, in order; a stop ends it early with those
    // found so far.
    std::vector<std::uint32_t> select(const JournalFilter& filter, qsizetype first = 0, std::stop_token stop = {}) const;

private:
    struct Source;
    struct Segment {
        std::vector<Entry> entries;
    };
    std::optional<QByteArray> bytes(const Entry& entry) const;
    static bool stillThere(const Entry& entry, QByteArrayView from);
    bool readInto(std::uint16_t file, bool whole, const std::stop_token& stop = {});
    qsizetype segmentOf(qsizetype row) const;

    QString logPath_;
    JournalDateOrder order_{0, 1, 2};
    std::vector<std::shared_ptr<Source>> sources_;
    std::vector<std::shared_ptr<const Segment>> segments_;
    std::vector<qsizetype> segmentStarts_;
    qsizetype size_ = 0;
    std::int64_t lastMoment_ = 0;
    qsizetype undated_ = 0;
};

} // namespace kirvan
