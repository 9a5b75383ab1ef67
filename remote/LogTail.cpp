#include "remote/LogTail.h"

#include "files/PathCase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kirvan {

namespace {

constexpr qsizetype chunkSize = 64 * 1024;

struct Identity {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
};

Identity identityOf(const struct stat& info)
{
    return Identity{true, std::uint64_t(info.st_dev), std::uint64_t(info.st_ino), std::int64_t(info.st_size)};
}

Identity identityOf(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return {};
    return identityOf(info);
}

bool sameFile(const Identity& file, const LogPosition& place)
{
    return file.exists && file.device == place.device && file.inode == place.inode;
}

} // namespace

LogPosition LogTail::end() const
{
    const Identity log = identityOf(resolvePathCase(logPath_));
    return LogPosition{log.device, log.inode, log.size};
}

QString LogTail::findPredecessor(const LogPosition& place) const
{
    const QFileInfo log(resolvePathCase(logPath_));
    const QDir folder = log.dir();
    const QStringList names = folder.entryList({log.fileName() + QStringLiteral("?*")}, QDir::Files | QDir::Hidden);
    for (const QString& name : names) {
        const QString path = folder.filePath(name);
        if (sameFile(identityOf(path), place))
            return path;
    }
    return {};
}

std::vector<LogTail::Line> LogTail::read(const LogPosition& from, std::size_t limit)
{
    std::vector<Line> lines;
    // The name as written first: finding it in another case costs a look at the folder.
    QString logPath = logPath_;
    Identity log = identityOf(logPath);
    if (!log.exists) {
        logPath = resolvePathCase(logPath_);
        log = identityOf(logPath);
    }
    LogPosition place = from;
    if (!sameFile(log, place)) {
        const QString predecessor = place.inode != 0 ? findPredecessor(place) : QString();
        if (!predecessor.isEmpty()) {
            // The renamed log is read to its end before the new one begins.
            if (!readFile(predecessor, place, limit, lines) || lines.size() >= limit)
                return lines;
        } else if (place.inode != 0) {
            ++lostFiles_;
        }
        if (!log.exists)
            return lines;
        place = LogPosition{log.device, log.inode, 0};
    } else if (log.size < place.offset) {
        ++lostFiles_;
        place.offset = 0;
    }
    readFile(logPath, place, limit - lines.size(), lines);
    return lines;
}

// Appends the complete lines of the file from `from` on; false when it could not be read to its
// end (the file is gone or a line is still being written), so nothing after it may be read yet.
bool LogTail::readFile(const QString& path, LogPosition from, std::size_t limit, std::vector<Line>& lines)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || std::uint64_t(info.st_ino) != from.inode || std::uint64_t(info.st_dev) != from.device) {
        ::close(fd);
        return false;
    }
    QByteArray pending;
    std::int64_t pendingStart = from.offset;
    std::int64_t offset = from.offset;
    bool complete = false;
    const std::int64_t size = info.st_size;
    while (lines.size() < limit) {
        if (offset >= size) {
            complete = pending.isEmpty();
            break;
        }
        QByteArray chunk(chunkSize, Qt::Uninitialized);
        const ssize_t n = ::pread(fd, chunk.data(), std::size_t(chunkSize), off_t(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            complete = n == 0 && pending.isEmpty();
            break;
        }
        offset += n;
        pending.append(chunk.constData(), qsizetype(n));
        qsizetype start = 0;
        for (qsizetype newline = pending.indexOf('\n'); newline >= 0 && lines.size() < limit;
             newline = pending.indexOf('\n', start)) {
            QByteArray line = pending.mid(start, newline - start);
            if (line.endsWith('\r'))
                line.chop(1);
            start = newline + 1;
            lines.push_back(Line{std::move(line), LogPosition{from.device, from.inode, pendingStart + start}});
        }
        pending.remove(0, start);
        pendingStart += start;
    }
    ::close(fd);
    return complete;
}

} // namespace kirvan
