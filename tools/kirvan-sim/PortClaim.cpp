#include "tools/kirvan-sim/PortClaim.h"

#include "tools/kirvan-sim/SimComplex.h"

#include "serial/PseudoTerminal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kirvan::sim {
namespace {

// A link left by a simulator that did not end cleanly points at a pseudo-terminal (perhaps
// reused by now) or at nothing; anything else is the installer's own link to an adapter.
bool replaceable(const QFileInfo& entry)
{
    if (!entry.isSymLink())
        return !entry.exists();
    const QString target = entry.symLinkTarget();
    return target.startsWith(QStringLiteral("/dev/pts/")) || !QFileInfo::exists(target);
}

} // namespace

PortClaim::PortClaim(const QString& folder, int comNumber, const PseudoTerminal& line) : slavePath_(line.slavePath())
{
    const QDir ports(QDir(folder).filePath(QStringLiteral("ports")));
    if (!QDir().mkpath(ports.path()))
        throw ComplexError(QStringLiteral("cannot create %1").arg(ports.path()));
    const QString name = QStringLiteral("COM%1").arg(comNumber);
    const QString lockPath = ports.filePath(name + QStringLiteral(".lock"));
    lock_ = ::open(QFile::encodeName(lockPath).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lock_ < 0)
        throw ComplexError(QStringLiteral("cannot create %1").arg(lockPath));
    if (flock(lock_, LOCK_EX | LOCK_NB) != 0) {
        ::close(lock_);
        throw ComplexError(QStringLiteral("%1 is in use by another running kirvan-sim").arg(ports.filePath(name)));
    }
    link_ = ports.filePath(name);
    const QFileInfo entry(link_);
    if (!replaceable(entry)) {
        ::close(lock_);
        throw ComplexError(QStringLiteral("%1 leads to %2, a device the simulator does not replace; choose another port")
                               .arg(link_, entry.isSymLink() ? entry.symLinkTarget() : link_));
    }
    if (!line.linkAs(link_)) {
        ::close(lock_);
        throw ComplexError(QStringLiteral("cannot link %1 to %2").arg(link_, slavePath_));
    }
}

PortClaim::~PortClaim()
{
    if (QFileInfo(link_).symLinkTarget() == slavePath_)
        QFile::remove(link_);
    ::close(lock_);
}

} // namespace kirvan::sim
