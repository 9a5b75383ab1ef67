#include "files/PathCase.h"

#include <QFile>
#include <QHash>
#include <QStringList>
#include <dirent.h>
#include <mutex>
#include <sys/stat.h>

namespace kirvan {

namespace {

bool exists(const QString& path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

QString join(const QString& folder, const QString& name)
{
    if (folder.isEmpty())
        return name;
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

// The name in `folder` equal to `name` but for letter case, or an empty text.
QString findIgnoringCase(const QString& folder, const QString& name)
{
    const QByteArray encoded = QFile::encodeName(folder.isEmpty() ? QStringLiteral(".") : folder);
    DIR* dir = ::opendir(encoded.constData());
    if (!dir)
        return {};
    QString best;
    while (const dirent* entry = ::readdir(dir)) {
        const QString candidate = QFile::decodeName(entry->d_name);
        if (candidate.compare(name, Qt::CaseInsensitive) == 0 && (best.isEmpty() || candidate < best))
            best = candidate;
    }
    ::closedir(dir);
    return best;
}

// Resolutions already made; each is checked to still exist before it is used.
struct ResolvedPaths {
    std::mutex mutex;
    QHash<QString, QString> byWrittenPath;
};

ResolvedPaths& resolvedPaths()
{
    static ResolvedPaths paths;
    return paths;
}

} // namespace

QString resolvePathCase(const QString& path)
{
    if (path.isEmpty() || exists(path))
        return path;

    auto& known = resolvedPaths();
    {
        std::lock_guard lock(known.mutex);
        const auto found = known.byWrittenPath.constFind(path);
        if (found != known.byWrittenPath.cend() && exists(found.value()))
            return found.value();
    }

    const QStringList components = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString resolved = path.startsWith(QLatin1Char('/')) ? QStringLiteral("/") : QString();
    for (qsizetype i = 0; i < components.size(); ++i) {
        const QString& component = components[i];
        QString next = join(resolved, component);
        if (!exists(next)) {
            const QString match = component == QLatin1String(".") || component == QLatin1String("..")
                                      ? QString()
                                      : findIgnoringCase(resolved, component);
            if (match.isEmpty()) {
                for (qsizetype rest = i; rest < components.size(); ++rest)
                    resolved = join(resolved, components[rest]);
                return resolved;
            }
            next = join(resolved, match);
        }
        resolved = next;
    }
    std::lock_guard lock(known.mutex);
    known.byWrittenPath.insert(path, resolved);
    return resolved;
}

} // namespace kirvan
