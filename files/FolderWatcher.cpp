#include "files/FolderWatcher.h"

#include <QFile>
#include <array>
#include <cerrno>
#include <cstring>
#include <sys/inotify.h>
#include <sys/vfs.h>
#include <unistd.h>

namespace kirvan {

namespace {

constexpr std::uint32_t changeEvents = IN_MODIFY | IN_ATTRIB | IN_CLOSE_WRITE | IN_CREATE | IN_DELETE | IN_MOVED_FROM
                                       | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF;

// File systems whose content other computers (or a user-space server) change behind the
// kernel's back.
bool isRemote(const QString& folder)
{
    struct statfs info {};
    if (::statfs(QFile::encodeName(folder).constData(), &info) != 0)
        return true;
    switch (static_cast<unsigned long>(info.f_type)) {
    case 0x6969UL: // NFS
    case 0x517BUL: // SMB
    case 0xFF534D42UL: // CIFS
    case 0xFE534D42UL: // SMB2
    case 0x65735546UL: // FUSE
    case 0x01021997UL: // 9P
    case 0x00C36400UL: // Ceph
    case 0x5346414FUL: // AFS
    case 0x73757245UL: // Coda
    case 0x564CUL: // NCP
        return true;
    default:
        return false;
    }
}

} // namespace

FolderWatcher::FolderWatcher() : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

FolderWatcher::~FolderWatcher()
{
    if (fd_ >= 0)
        ::close(fd_);
}

std::optional<int> FolderWatcher::watch(const QString& folder)
{
    if (fd_ < 0 || isRemote(folder))
        return std::nullopt;
    const int id = ::inotify_add_watch(fd_, QFile::encodeName(folder).constData(), changeEvents | IN_ONLYDIR);
    if (id < 0)
        return std::nullopt;
    return id;
}

void FolderWatcher::unwatch(int watchId)
{
    if (fd_ >= 0)
        ::inotify_rm_watch(fd_, watchId);
}

void FolderWatcher::drain(const std::function<void(const Change&)>& report)
{
    if (fd_ < 0)
        return;
    alignas(inotify_event) std::array<char, 16 * 1024> buffer;
    for (;;) {
        const ssize_t length = ::read(fd_, buffer.data(), buffer.size());
        if (length < 0 && errno == EINTR)
            continue;
        if (length <= 0)
            return; // EAGAIN: nothing more queued
        for (ssize_t offset = 0; offset < length;) {
            inotify_event event{};
            std::memcpy(&event, buffer.data() + offset, sizeof event);
            const char* name = buffer.data() + offset + sizeof event;
            Change change;
            change.watchId = event.wd;
            change.everything = (event.mask & IN_Q_OVERFLOW) != 0;
            if (event.len > 0)
                change.name = QByteArray(name, static_cast<qsizetype>(::strnlen(name, event.len)));
            report(change);
            offset += static_cast<ssize_t>(sizeof event + event.len);
        }
    }
}

} // namespace kirvan
