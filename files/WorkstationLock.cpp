#include "files/WorkstationLock.h"

#include "platform/SystemError.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kirvan {

namespace {

// The lock file: readable and writable by its owner alone, so that no other user of the computer
// can hold it (a lock on the folder itself anyone who may read the folder could take).
constexpr const char* lockFileName = "/.KirvanMonitorP.lock";

// Opens the lock file, creating it when missing. It belongs to the folder's owner: made by
// root (the installer's tool, say), it is handed to that owner, so the workstation can still open
// it. A lock file of another user is not ours to use. Gives the descriptor, or -1 with errno set.
int openLockFile(const QByteArray& folder)
{
    struct stat owner {};
    if (::stat(folder.constData(), &owner) != 0)
        return -1;
    if (!S_ISDIR(owner.st_mode)) {
        errno = ENOTDIR;
        return -1;
    }
    const int fd = ::open((folder + lockFileName).constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                          0600);
    if (fd < 0)
        return -1;
    struct stat info {};
    int error = 0;
    if (::fstat(fd, &info) != 0)
        error = errno;
    else if (!S_ISREG(info.st_mode))
        error = EINVAL;
    else if (info.st_uid != owner.st_uid && (::geteuid() != 0 || ::fchown(fd, owner.st_uid, owner.st_gid) != 0))
        error = EPERM;
    else if ((info.st_mode & 077) != 0 && ::fchmod(fd, 0600) != 0)
        error = errno;
    if (error == 0)
        return fd;
    ::close(fd);
    errno = error;
    return -1;
}

} // namespace

std::optional<WorkstationLock> WorkstationLock::acquire(const QString& folder, Refusal* refusal, QString* failure)
{
    // Close-on-exec: a program the desktop shell starts must not keep the folder locked after
    // the workstation has ended.
    const int fd = openLockFile(QFile::encodeName(folder));
    int error = fd < 0 ? errno : 0;
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        error = errno;
        ::close(fd);
    }
    if (error == 0)
        return WorkstationLock(fd);
    if (refusal)
        *refusal = error == EWOULDBLOCK ? Refusal::HeldByAnother : Refusal::Unavailable;
    if (failure)
        *failure = error == EWOULDBLOCK ? heldMessage(folder) : systemErrorText(error);
    return std::nullopt;
}

WorkstationLock& WorkstationLock::operator=(WorkstationLock&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

WorkstationLock::~WorkstationLock()
{
    if (fd_ >= 0)
        ::close(fd_);
}

QString WorkstationLock::heldMessage(const QString& folder)
{
    return QStringLiteral("Программа уже запущена для папки %1").arg(folder);
}

} // namespace kirvan
