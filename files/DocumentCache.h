#pragma once

#include "files/FolderWatcher.h"
#include "files/IniDocument.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <memory>
#include <sys/stat.h>

namespace kirvan {

// Parsed INI files, so that the many reads of one file between two changes parse it once. An
// entry is only used while nothing can have changed the file since it was read:
//  - the file's folder is watched from before the read, and every change reported for the
//    file's name (or for the folder, or a lost report) drops the entry before the next use;
//  - the file's identity, size and nanosecond times must still be those of the read, which
//    also catches what the watch cannot see (a change through another hard link, a write
//    through a memory map).
// Files that cannot be watched that way (network shares, folders without a watch, symbolic
// links, files with several names) are read anew every time.
// Not thread-safe: the owner serialises the calls.
class DocumentCache {
public:
    explicit DocumentCache(qsizetype capacity) : capacity_(capacity) {}

    // The file's current content. A missing file is empty. Null when the file exists but
    // cannot be read (not a regular file, too large, refused), with the reason in `failure`.
    std::shared_ptr<const IniDocument> current(const QString& path, QString* failure = nullptr);
    // The kept content of the file at exactly this path while it is still the file's, or null:
    // nothing is read.
    std::shared_ptr<const IniDocument> kept(const QString& path);
    // Drops the entry of a file this process has just replaced.
    void forget(const QString& path);

private:
    struct Signature {
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        long long modified = 0; // nanoseconds
        long long changed = 0; // nanoseconds
        bool operator==(const Signature&) const = default;
    };
    struct Entry {
        std::shared_ptr<const IniDocument> document;
        Signature signature;
        int watchId = -1;
        QString fileName;
        quint64 lastUse = 0;
    };

    static Signature signatureOf(const struct stat& info);
    void applyChanges();
    void drop(const QString& path);
    void releaseWatchIfUnused(int watchId);
    void evictLeastRecentlyUsed();

    qsizetype capacity_;
    FolderWatcher watcher_;
    QHash<QString, Entry> entries_;
    quint64 uses_ = 0;
};

} // namespace kirvan
