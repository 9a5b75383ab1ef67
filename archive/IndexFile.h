#pragma once

#include "archive/IndexRecord.h"

#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace kirvan {

// The records of one log file's index, in a file of their own outside the workstation folder and
// read with pread, never kept in the heap, so that the viewer's memory does not grow with the
// archive. A rotated log never changes: its finished index is kept in the cache folder under a
// name made of the log's identity, and the next viewer reads that instead of the log. Any other
// index file is unnamed and goes with its last holder.
class IndexFile {
public:
    struct Kept {
        std::shared_ptr<IndexFile> file;
        std::int64_t records = 0;
        std::int64_t undated = 0;
        std::vector<IndexBlock> blocks;
    };
    // The finished index of a log of `size` bytes kept as `name`, when there is a sound one;
    // marked as used now.
    static std::optional<Kept> kept(const QString& folder, const QString& name, std::int64_t size);
    // Which log a kept index file is of, and its size then; nullopt for a file of another form.
    struct KeptLog {
        QString path;
        std::int64_t size = 0;
    };
    static std::optional<KeptLog> keptLog(const QString& file);
    // A new, unnamed index file in `folder`, else in the temporary folder, else in memory.
    static std::shared_ptr<IndexFile> create(const QString& folder);

    explicit IndexFile(int fd) : fd_(fd) {}
    ~IndexFile();
    IndexFile(const IndexFile&) = delete;
    IndexFile& operator=(const IndexFile&) = delete;

    // False when the file takes no more (a full disk): the lines from there on are not indexed.
    bool write(std::int64_t at, const std::vector<IndexRecord>& records);
    std::vector<IndexRecord> read(std::int64_t at, std::int64_t count) const;

    // Keeps a finished index of `log` as `name` in `folder`, its summary after the records; another
    // viewer that kept it first wins, and a folder that takes no name leaves it unnamed.
    void keep(const QString& folder, const QString& name, const QString& log, const Kept& summary,
              std::int64_t size) const;

private:
    int fd_;
};

} // namespace kirvan
