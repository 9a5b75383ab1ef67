#include "files/RegularFile.h"

#include "platform/SystemError.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace kirvan {

namespace {

QString notRegular(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("это папка, а не файл");
    if (S_ISFIFO(mode) || S_ISSOCK(mode))
        return QStringLiteral("это канал, а не файл");
    return QStringLiteral("это устройство, а не файл");
}

// Appends at most `limit` + 1 bytes, so that a file that grew past the limit is noticed.
int readUpTo(int fd, QByteArray& bytes, qint64 limit)
{
    char chunk[64 * 1024];
    for (;;) {
        const qint64 room = limit + 1 - bytes.size();
        if (room <= 0)
            return 0;
        const ssize_t length = ::read(fd, chunk, static_cast<size_t>(std::min<qint64>(room, sizeof chunk)));
        if (length < 0 && errno == EINTR)
            continue;
        if (length < 0)
            return errno;
        if (length == 0)
            return 0;
        bytes.append(chunk, static_cast<qsizetype>(length));
    }
}

QString tooLarge(qint64 limit)
{
    return QStringLiteral("файл больше %1 МБ").arg(limit / (1024 * 1024));
}

// The number (from 1) of the first line longer than `limit` bytes, or 0.
qsizetype firstOverlongLine(const QByteArray& bytes, qsizetype limit)
{
    qsizetype number = 1;
    qsizetype lineStart = 0;
    for (qsizetype i = 0; i <= bytes.size(); ++i) {
        const bool end = i == bytes.size() || bytes[i] == '\n' || bytes[i] == '\r';
        if (!end)
            continue;
        if (i - lineStart > limit)
            return number;
        if (i < bytes.size() && bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        lineStart = i + 1;
        ++number;
    }
    return 0;
}

} // namespace

RegularFile RegularFile::read(const QString& path, qint64 limit)
{
    RegularFile file;
    const QByteArray name = QFile::encodeName(path);
    struct stat link {};
    if (::lstat(name.constData(), &link) != 0) {
        const int error = errno;
        file.status = error == ENOENT || error == ENOTDIR ? Status::Missing : Status::Failed;
        file.failure = systemErrorText(error);
        return file;
    }
    file.symbolicLink = S_ISLNK(link.st_mode);
    // Non-blocking, so that opening a FIFO without a writer or a device returns at once.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        file.status = error == ENOENT ? Status::Missing : Status::Failed;
        file.failure = systemErrorText(error);
        return file;
    }
    int error = ::fstat(fd, &file.info) == 0 ? 0 : errno;
    if (error == 0 && !S_ISREG(file.info.st_mode)) {
        file.failure = notRegular(file.info.st_mode);
    } else if (error == 0 && file.info.st_size > limit) {
        file.failure = tooLarge(limit);
    } else if (error == 0) {
        file.bytes.reserve(static_cast<qsizetype>(file.info.st_size) + 1);
        error = readUpTo(fd, file.bytes, limit);
        if (error == 0 && file.bytes.size() > limit)
            file.failure = tooLarge(limit);
        else if (const qsizetype line = error == 0 ? firstOverlongLine(file.bytes, maxLineBytes) : 0)
            file.failure = QStringLiteral("строка %1 длиннее %2 КБ").arg(line).arg(maxLineBytes / 1024);
    }
    ::close(fd);
    if (error != 0)
        file.failure = systemErrorText(error);
    if (file.failure.isEmpty())
        file.status = Status::Read;
    else
        file.bytes.clear();
    return file;
}

} // namespace kirvan
