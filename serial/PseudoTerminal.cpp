#include "serial/PseudoTerminal.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace kirvan {

PseudoTerminal::PseudoTerminal()
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (master < 0)
        return;
    char name[128];
    if (grantpt(master) != 0 || unlockpt(master) != 0 || ptsname_r(master, name, sizeof name) != 0) {
        ::close(master);
        return;
    }
    master_ = master;
    slavePath_ = QFile::decodeName(name);
}

PseudoTerminal::~PseudoTerminal()
{
    close();
}

bool PseudoTerminal::linkAs(const QString& link) const
{
    QDir().mkpath(QFileInfo(link).path());
    QFile::remove(link);
    return QFile::link(slavePath_, link);
}

bool PseudoTerminal::write(const std::vector<std::uint8_t>& bytes) const
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const auto n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        // A master whose slave side is closed takes nothing more.
        if (n == 0 || (errno != EAGAIN && errno != EINTR))
            return false;
        pollfd room{master_, POLLOUT, 0};
        if (poll(&room, 1, 200) <= 0 || (room.revents & (POLLHUP | POLLERR)) != 0)
            return false;
    }
    return true;
}

std::vector<std::uint8_t> PseudoTerminal::read(std::size_t n, std::chrono::milliseconds timeout) const
{
    using clock = std::chrono::steady_clock;
    const auto deadline = clock::now() + timeout;
    std::vector<std::uint8_t> got;
    while (got.size() < n) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - clock::now());
        pollfd readable{master_, POLLIN, 0};
        if (left.count() <= 0 || poll(&readable, 1, static_cast<int>(left.count())) <= 0)
            break;
        std::uint8_t chunk[256];
        const auto r = ::read(master_, chunk, std::min(sizeof chunk, n - got.size()));
        if (r <= 0 && errno != EAGAIN && errno != EINTR)
            break;
        if (r > 0)
            got.insert(got.end(), chunk, chunk + r);
    }
    return got;
}

std::vector<std::uint8_t> PseudoTerminal::readAvailable(std::chrono::milliseconds timeout) const
{
    std::vector<std::uint8_t> got;
    pollfd readable{master_, POLLIN, 0};
    if (poll(&readable, 1, static_cast<int>(timeout.count())) <= 0)
        return got;
    std::uint8_t chunk[256];
    const auto r = ::read(master_, chunk, sizeof chunk);
    if (r > 0)
        got.assign(chunk, chunk + r);
    return got;
}

bool PseudoTerminal::holdSlaveRaw()
{
    if (heldSlave_ >= 0)
        return true;
    const int slave = ::open(QFile::encodeName(slavePath_).constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0)
        return false;
    termios settings{};
    if (tcgetattr(slave, &settings) == 0) {
        cfmakeraw(&settings);
        tcsetattr(slave, TCSANOW, &settings);
    }
    heldSlave_ = slave;
    return true;
}

void PseudoTerminal::close()
{
    if (heldSlave_ >= 0)
        ::close(heldSlave_);
    heldSlave_ = -1;
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

} // namespace kirvan
