#include "files/DocumentCache.h"

#include "files/Cp1251.h"
#include "files/RegularFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <sys/stat.h>

namespace kirvan {

namespace {

const std::shared_ptr<const IniDocument>& emptyDocument()
{
    static const auto empty = std::make_shared<const IniDocument>();
    return empty;
}

long long nanoseconds(const timespec& time)
{
    return static_cast<long long>(time.tv_sec) * 1'000'000'000LL + time.tv_nsec;
}

} // namespace

std::shared_ptr<const IniDocument> DocumentCache::kept(const QString& path)
{
    applyChanges();
    const auto found = entries_.find(path);
    if (found == entries_.end())
        return nullptr;
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || signatureOf(info) != found->signature)
        return nullptr;
    found->lastUse = ++uses_;
    return found->document;
}

std::shared_ptr<const IniDocument> DocumentCache::current(const QString& path, QString* failure)
{
    if (auto document = kept(path))
        return document;
    drop(path);

    // The watch comes first: a change made while the file is being read is then reported and
    // drops the entry before its first use.
    const QFileInfo location(path);
    const std::optional<int> watchId = watcher_.watch(location.absolutePath());
    const RegularFile content = RegularFile::read(path);
    std::shared_ptr<const IniDocument> document;
    if (content.status == RegularFile::Status::Missing)
        document = emptyDocument();
    else if (content.status == RegularFile::Status::Read)
        document = std::make_shared<const IniDocument>(cp1251::decode(content.bytes));
    else if (failure)
        *failure = content.failure;

    const bool cacheable = watchId && content.status == RegularFile::Status::Read && !content.symbolicLink
                           && S_ISREG(content.info.st_mode) && content.info.st_nlink == 1;
    if (cacheable) {
        entries_.insert(path, Entry{document, signatureOf(content.info), *watchId, location.fileName(), ++uses_});
        if (entries_.size() > capacity_)
            evictLeastRecentlyUsed();
    } else if (watchId) {
        releaseWatchIfUnused(*watchId);
    }
    return document;
}

void DocumentCache::forget(const QString& path)
{
    applyChanges();
    drop(path);
}

DocumentCache::Signature DocumentCache::signatureOf(const struct stat& info)
{
    return {info.st_dev, info.st_ino, info.st_size, nanoseconds(info.st_mtim), nanoseconds(info.st_ctim)};
}

void DocumentCache::applyChanges()
{
    QStringList stale;
    watcher_.drain([&](const FolderWatcher::Change& change) {
        const QString name = QFile::decodeName(change.name);
        for (auto entry = entries_.cbegin(); entry != entries_.cend(); ++entry) {
            // Names are compared as the path resolution does, without regard to case: a file
            // that appears under another spelling may be the one the path now reaches.
            const bool concerned = change.everything
                                   || (entry->watchId == change.watchId
                                       && (name.isEmpty() || name.compare(entry->fileName, Qt::CaseInsensitive) == 0));
            if (concerned)
                stale.append(entry.key());
        }
    });
    for (const QString& path : std::as_const(stale))
        drop(path);
}

void DocumentCache::drop(const QString& path)
{
    const auto found = entries_.find(path);
    if (found == entries_.end())
        return;
    const int watchId = found->watchId;
    entries_.erase(found);
    releaseWatchIfUnused(watchId);
}

void DocumentCache::releaseWatchIfUnused(int watchId)
{
    for (const Entry& entry : std::as_const(entries_))
        if (entry.watchId == watchId)
            return;
    watcher_.unwatch(watchId);
}

void DocumentCache::evictLeastRecentlyUsed()
{
    auto oldest = entries_.cbegin();
    for (auto entry = entries_.cbegin(); entry != entries_.cend(); ++entry)
        if (entry->lastUse < oldest->lastUse)
            oldest = entry;
    const QString path = oldest.key();
    drop(path);
}

} // namespace kirvan
