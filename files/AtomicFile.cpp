#include "files/AtomicFile.h"

#include "files/FileWriteError.h"
#include "platform/SystemError.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kirvan {

namespace {

// The temporary file of a write of NAME is ".NAME.kirvan-write-" and six random characters: a name
// no person or other program picks, so that a clean-up never takes a file that is not ours
// (".KirvanMonitorP.ini.backup" of an administrator, say).
constexpr QLatin1StringView temporaryMark(".kirvan-write-");
constexpr qsizetype randomPart = 6;

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

// The umask as the kernel shows it: reading it with umask() would change it for a moment for
// every thread of the process.
mode_t currentUmask()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("Umask:"))
                return mode_t(line.mid(6).trimmed().toUInt(nullptr, 8));
    return 077;
}

mode_t fileMode(FileAccess access, const struct stat* old)
{
    const mode_t allowed = access == FileAccess::OwnerOnly ? 07700 : 07755;
    return (old ? old->st_mode & 07777 : 0644 & ~currentUmask()) & allowed;
}

[[noreturn]] void refuse(const QString& path, int error)
{
    throw FileWriteError(path, systemErrorText(error));
}

// The file's own permissions decide, as for a write in place: a rename only needs the folder's,
// and would replace a write-protected file or one of another owner.
void checkWritable(const QString& path, const QByteArray& target)
{
    const int fd = ::open(target.constData(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        refuse(path, errno);
    ::close(fd);
}

// Where no temporary file can be made beside it, a writable file is written in place, as it was
// before crash-safe replacement: not safe against a crash, but better than no write at all.
void writeInPlace(const QString& path, const QByteArray& target, QByteArrayView content)
{
    const int fd = ::open(target.constData(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        refuse(path, errno);
    bool ok = writeAll(fd, content) && ::ftruncate(fd, static_cast<off_t>(content.size())) == 0 && ::fsync(fd) == 0;
    const int error = errno;
    ok = ::close(fd) == 0 && ok;
    if (!ok)
        refuse(path, error != 0 ? error : EIO);
}

// A temporary file for the write, locked for as long as it is being written, so that a
// clean-up by another writer never takes it away.
int createTemporary(QByteArray& name)
{
    const QByteArray pattern = name;
    for (int attempt = 0; attempt < 3; ++attempt) {
        name = pattern;
        const int fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd < 0)
            return fd;
        struct stat info {};
        // A clean-up between the creation and the lock has removed it: take another.
        if (::flock(fd, LOCK_EX) == 0 && ::fstat(fd, &info) == 0 && info.st_nlink > 0)
            return fd;
        ::close(fd);
    }
    errno = EBUSY;
    return -1;
}

bool isLeftoverOf(const QString& entry, const QString& fileName, const QString& folder)
{
    const qsizetype mark = entry.size() - randomPart - temporaryMark.size();
    if (mark < 2 || !entry.startsWith(QLatin1Char('.'))
        || QStringView(entry).mid(mark, temporaryMark.size()) != temporaryMark)
        return false;
    const QString base = entry.mid(1, mark - 1);
    if (!fileName.isEmpty())
        return base == fileName;
    struct stat info {};
    return ::stat(QFile::encodeName(folder + QLatin1Char('/') + base).constData(), &info) == 0;
}

} // namespace

bool restrictToOwner(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info {};
    const bool ok = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid()
                    && ((info.st_mode & 077) == 0 || ::fchmod(fd, info.st_mode & 07700) == 0);
    ::close(fd);
    return ok;
}

void removeWriteLeftovers(const QString& folder, const QString& fileName)
{
    const QByteArray encodedFolder = QFile::encodeName(folder);
    DIR* entries = ::opendir(encodedFolder.constData());
    if (!entries)
        return;
    while (const dirent* entry = ::readdir(entries)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (!isLeftoverOf(name, fileName, folder))
            continue;
        const QByteArray path = encodedFolder + '/' + entry->d_name;
        const int fd = ::open(path.constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat info {};
        // Ours, and unlocked: its writer is gone (killed, or the power failed) before the rename.
        if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid()
            && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(path.constData());
        ::close(fd);
    }
    ::closedir(entries);
}

void writeFileAtomically(const QString& path, QByteArrayView content, FileAccess access,
                         const std::function<void()>& beforeReplace)
{
    const QFileInfo info(path);
    // Writing through a link must keep the link and replace what it points to.
    const QString target = !info.isSymLink() ? path : info.exists() ? info.canonicalFilePath() : info.symLinkTarget();
    const QFileInfo targetInfo(target);
    const QByteArray encodedTarget = QFile::encodeName(target);
    const QByteArray folder = QFile::encodeName(targetInfo.absolutePath());
    removeWriteLeftovers(targetInfo.absolutePath(), targetInfo.fileName());

    struct stat old {};
    const bool existed = ::stat(encodedTarget.constData(), &old) == 0;
    if (existed)
        checkWritable(path, encodedTarget);

    QByteArray temporary = folder + '/' + QFile::encodeName(QLatin1Char('.') + targetInfo.fileName() + temporaryMark)
                           + "XXXXXX";
    const int fd = createTemporary(temporary);
    if (fd < 0) {
        const int error = errno;
        if (existed && (error == EACCES || error == EPERM)) {
            writeInPlace(path, encodedTarget, content);
            return;
        }
        refuse(path, error);
    }

    bool ok = ::fchmod(fd, fileMode(access, existed ? &old : nullptr)) == 0;
    if (ok && existed && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()))
        (void)::fchown(fd, old.st_uid, old.st_gid); // only root may; others keep their own
    ok = ok && writeAll(fd, content) && ::fsync(fd) == 0;
    if (ok && beforeReplace) {
        try {
            beforeReplace();
        } catch (...) {
            ::unlink(temporary.constData());
            ::close(fd);
            throw;
        }
    }
    ok = ok && ::rename(temporary.constData(), encodedTarget.constData()) == 0;
    const int error = errno;
    if (!ok)
        ::unlink(temporary.constData());
    // Closed after the rename: the lock shows the temporary file in use until it has its name.
    ::close(fd);
    if (!ok)
        refuse(path, error);
    syncFolder(folder);
}

} // namespace kirvan
