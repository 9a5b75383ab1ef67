#include "files/WorkstationLock.h"

#include "platform/SystemError.h"

#include <QFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kirvan {

std::optional<WorkstationLock> WorkstationLock::acquire(const QString& folder, Refusal* refusal, QString* failure)
{
    // Close-on-exec: a program the desktop shell starts must not keep the folder locked after
    // the workstation has ended.
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
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
