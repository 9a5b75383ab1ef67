#pragma once

#include "archive/JournalFilter.h"
#include "archive/IndexRecord.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <optional>
#include <stop_token>
#include <vector>

namespace kirvan {

class IndexFile;

// The lines of the text log and of its rotated predecessors (KirvanMonitorP.txt-YYYYMMDD of the
// log rotation, or KirvanMonitorP.txt.N), oldest first: read once to note where each line lies and
// what it reports, and read again line by line only when shown. What is noted lies in index files
// (IndexFile, 16 bytes a line) outside the workstation folder; in memory stays a summary of every
// 4096 lines, so ten million lines take well under a megabyte here, and a rebuild never holds
// two indexes in memory. The logs are only read: never locked, written or renamed.
//
// A copy is cheap and never changes under its holder (what has been read is shared and fixed), so
// a copy can be filtered on another thread while the original follows the log.
class JournalIndex {
public:
    JournalIndex() = default;
    // Reads the log's predecessors and the log itself, two files at a time. Takes its time: not on
    // the window's thread for a large log. A stop ends it early with what has been read. With
    // `cacheFolder`, the index of each rotated log kept there is taken up instead of the log.
    static JournalIndex build(const QString& logPath, const JournalDateOrder& order, std::stop_token stop = {},
                              const QString& cacheFolder = {});
    // Keeps the index of each rotated log this build read in the cache folder, for the next build.
    // Apart from the build: the lines can be shown before the disk has their index. A stop ends it
    // between two files.
    void keep(std::stop_token stop = {}) const;
    // The names in the cache folder of the rotated logs' indexes, kept or to be kept.
    QStringList keptNames() const;

    enum class Follow { Unchanged, Appended, Rotated };
    // Takes up the lines completed in the log since the last look. Rotated: the log was renamed or
    // cut since, and only a new build shows it as it is.
    Follow follow();

    qsizetype size() const { return size_; }
    // The line as it is, or "не удалось прочитать" when the file no longer holds it.
    QString line(qsizetype row) const;
    // Lines whose date could not be read; they are placed at the moment of the line before in
    // their file.
    qsizetype undated() const { return undated_; }
    // The files read, oldest first; the log itself is the last.
    QStringList files() const;

    // The rows from `first` on that the filter shows, in order; a stop ends it early with those
    // found so far.
    std::vector<std::uint32_t> select(const JournalFilter& filter, qsizetype first = 0, std::stop_token stop = {}) const;

private:
    struct Source;
    struct Part {
        std::shared_ptr<Source> source;
        std::shared_ptr<IndexFile> records;
        qsizetype start = 0; // the first row
        qsizetype count = 0;
        std::int64_t indexed = 0; // bytes of the log taken up, always up to the end of a line
        std::int64_t lastMoment = 0;
        std::int64_t undated = 0;
        std::vector<IndexBlock> blocks;
        bool rotated = false;
        bool unkept = false; // a rotated log read by this build
    };
    // Both touch only the part given: the build runs them for several parts at once.
    bool takeUpKept(Part& part) const;
    bool readInto(Part& part, bool whole, QByteArray& buffer, const std::stop_token& stop = {}) const;
    void addPart(Part part);
    std::optional<QByteArray> bytes(const Part& part, const IndexRecord& record) const;
    static bool stillThere(const IndexRecord& record, QByteArrayView from);
    qsizetype partOf(qsizetype row) const;
    QString keptName(const Source& source) const;

    QString logPath_;
    QString cacheFolder_;
    JournalDateOrder order_{0, 1, 2};
    std::vector<Part> parts_;
    qsizetype size_ = 0;
    qsizetype undated_ = 0;
};

} // namespace kirvan
