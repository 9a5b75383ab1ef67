#include "config/AtomicFile.h"

#include "config/FileWriteError.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kirvan {

namespace {

bool writeAll(int fd, QByteArrayView content)
{
    const char* data = content.data();
    auto left = static_cast<size_t>(content.size());
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        left -= static_cast<size_t>(written);
    }
    return true;
}

// Makes the rename itself durable; a folder that cannot be synced is no reason to fail.
void syncFolder(const QByteArray& folder)
{
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

QString systemReason()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

mode_t creationMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

void writeFileAtomically(const QString& path, QByteArrayView content,
                         const std::function<void()>& beforeReplace)
{
    const QFileInfo info(path);
    // Writing through a link must keep the link and replace what it points to.
    const QString target = !info.isSymLink() ? path
                           : info.exists()   ? info.canonicalFilePath()
                                             : info.symLinkTarget();
    const QFileInfo targetInfo(target);
    const QByteArray folder = QFile::encodeName(targetInfo.absolutePath());
    QByteArray temporary =
        folder + '/' + QFile::encodeName(QLatin1Char('.') + targetInfo.fileName()) + ".XXXXXX";

    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0)
        throw FileWriteError(path, systemReason());

    struct stat old {};
    const bool existed = ::stat(QFile::encodeName(target).constData(), &old) == 0;
    bool ok = ::fchmod(fd, existed ? old.st_mode & 07777 : creationMode()) == 0;
    if (ok && existed && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()))
        (void)::fchown(fd, old.st_uid, old.st_gid); // only root may; others keep their own
    ok = ok && writeAll(fd, content) && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && beforeReplace) {
        try {
            beforeReplace();
        } catch (...) {
            ::unlink(temporary.constData());
            throw;
        }
    }
    ok = ok && ::rename(temporary.constData(), QFile::encodeName(target).constData()) == 0;
    if (!ok) {
        const QString reason = systemReason();
        ::unlink(temporary.constData());
        throw FileWriteError(path, reason);
    }
    syncFolder(folder);
}

} // namespace kirvan
