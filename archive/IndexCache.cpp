#include "archive/IndexCache.h"

#include "archive/IndexFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <vector>

namespace kirvan {

void tidyIndexCache(const QString& folder, const QDateTime& now, const QStringList& inUse, const IndexCacheLimits& limits)
{
    std::int64_t bytes = 0;
    std::vector<QFileInfo> others;
    for (const QFileInfo& file : QDir(folder).entryInfoList({QStringLiteral("*.index")}, QDir::Files)) {
        if (inUse.contains(file.fileName())) {
            bytes += file.size();
            continue;
        }
        // A log gone or rotated on has no file of the size read under its name.
        const auto log = IndexFile::keptLog(file.absoluteFilePath());
        if (!log || QFileInfo(log->path).size() != log->size
            || file.lastModified().secsTo(now) > limits.unusedDays * 24 * 3600)
            QFile::remove(file.absoluteFilePath());
        else
            others.push_back(file);
    }
    std::sort(others.begin(), others.end(),
              [](const QFileInfo& a, const QFileInfo& b) { return a.lastModified() > b.lastModified(); });
    for (const QFileInfo& file : others) {
        bytes += file.size();
        if (bytes > limits.bytes)
            QFile::remove(file.absoluteFilePath());
    }
}

} // namespace kirvan
