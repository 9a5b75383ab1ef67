#include "serial/PosixSerialDevice.h"

#include "serial/PortNames.h"
#include "serial/PosixLineSettings.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

namespace kirvan {

namespace {
// How often modem lines, error counters and the draining output queue are looked at while an
// event wait is pending; poll() cannot wait for them.
constexpr int tickMs = 50;

bool deviceGone(int error)
{
    return error == EIO || error == ENXIO || error == ENODEV || error == EPIPE || error == EBADF;
}

int openUnchanged(const QString& path)
{
    if (path.isEmpty()) {
        errno = ENODEV;
        return -1;
    }
    return ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
}

// Another program uses the terminal: it has set exclusive use (which a privileged open passes),
// or it holds the lock.
bool heldElsewhere(int fd)
{
    int exclusive = 0;
    if (ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0) {
        errno = EBUSY;
        return true;
    }
    return flock(fd, LOCK_EX | LOCK_NB) != 0;
}

// The far end of a pseudo-terminal keeps its terminal alive, and with it an exclusive flag set by
// a process that was killed: the next start would find its own port busy for good. There the lock
// alone, which the kernel drops with its holder, keeps a second holder out.
bool isPseudoTerminal(int fd)
{
    struct stat status {};
    constexpr unsigned firstSlaveMajor = 136; // Unix98 pseudo-terminal slaves: majors 136 to 143
    return fstat(fd, &status) == 0 && major(status.st_rdev) >= firstSlaveMajor
           && major(status.st_rdev) < firstSlaveMajor + 8;
}
} // namespace

std::uint32_t PosixSerialDevice::Counters::errorFlags(const Counters& since) const
{
    std::uint32_t flags = 0;
    const auto flagIf = [&flags](int now, int before, std::uint32_t flag) {
        if (now != before)
            flags |= flag;
    };
    flagIf(bufferOverrun, since.bufferOverrun, lineError::rxOver);
    flagIf(overrun, since.overrun, lineError::overrun);
    flagIf(parity, since.parity, lineError::rxParity);
    flagIf(frame, since.frame, lineError::frame);
    flagIf(brk, since.brk, lineError::brk);
    return flags;
}

bool PosixSerialDevice::probe(const QString& path)
{
    const int fd = openUnchanged(path);
    if (fd < 0)
        return false;
    const bool free = isatty(fd) && !heldElsewhere(fd);
    // Closing releases the lock the test took.
    ::close(fd);
    return free;
}

std::unique_ptr<PosixSerialDevice> PosixSerialDevice::open(const QString& path)
{
    const int fd = openUnchanged(path);
    if (fd < 0)
        return nullptr;
    // The caller tells the operator why: errno survives the clean-up.
    const auto refuse = [fd] {
        const int error = errno;
        ::close(fd);
        errno = error;
        return nullptr;
    };
    // TIOCEXCL keeps other programs out, except privileged ones; the lock keeps out those too
    // where they honour it, and a second port object of this program. Both are taken only once
    // the terminal is known to be free, so a busy one is left as it was.
    if (!isatty(fd) || heldElsewhere(fd) || (!isPseudoTerminal(fd) && ioctl(fd, TIOCEXCL) != 0) || !posix::makeRaw(fd))
        return refuse();
    const int wakeFd = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd < 0)
        return refuse();
    return std::unique_ptr<PosixSerialDevice>(new PosixSerialDevice(fd, wakeFd));
}

PosixSerialDevice::PosixSerialDevice(int fd, int wakeFd) : fd_(fd), wakeFd_(wakeFd)
{
    int lines = 0;
    hasModemLines_ = ioctl(fd_, TIOCMGET, &lines) == 0;
    modemSeen_ = lines;
    hasCounters_ = counters().has_value();
    if (hasCounters_)
        countersSeen_ = errorsCleared_ = *counters();
}

PosixSerialDevice::~PosixSerialDevice()
{
    tcflush(fd_, TCIOFLUSH);
    // The terminal may outlive this port (a pseudo-terminal, another holder): leave it shareable.
    ioctl(fd_, TIOCNXCL);
    ::close(wakeFd_);
    ::close(fd_);
}

void PosixSerialDevice::failed(int error)
{
    if (deviceGone(error))
        lost_ = true;
}

bool PosixSerialDevice::readSettings(LineSettings& settings)
{
    if (posix::readLineSettings(fd_, settings))
        return true;
    failed(errno);
    return false;
}

bool PosixSerialDevice::writeSettings(const LineSettings& settings)
{
    if (posix::writeLineSettings(fd_, settings, hasModemLines_))
        return true;
    failed(errno);
    return false;
}

std::optional<ModemLines> PosixSerialDevice::modemLines()
{
    if (!hasModemLines_)
        return lost() ? std::nullopt : std::optional(ModemLines{true, true, false, false});
    int lines = 0;
    if (ioctl(fd_, TIOCMGET, &lines) != 0) {
        failed(errno);
        return std::nullopt;
    }
    return ModemLines{(lines & TIOCM_CTS) != 0, (lines & TIOCM_DSR) != 0, (lines & TIOCM_RI) != 0,
                      (lines & TIOCM_CD) != 0};
}

void PosixSerialDevice::setControlLine(ControlLine line, bool on)
{
    if (!hasModemLines_)
        return;
    const int bit = line == ControlLine::Dtr ? TIOCM_DTR : TIOCM_RTS;
    if (ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bit) != 0)
        failed(errno);
}

std::optional<int> PosixSerialDevice::queueCount(unsigned long request)
{
    int count = 0;
    if (ioctl(fd_, request, &count) != 0) {
        failed(errno);
        return std::nullopt;
    }
    return count;
}

std::optional<PosixSerialDevice::Counters> PosixSerialDevice::counters()
{
    serial_icounter_struct counts{};
    if (ioctl(fd_, TIOCGICOUNT, &counts) != 0) {
        failed(errno);
        return std::nullopt;
    }
    return Counters{counts.frame, counts.overrun, counts.parity, counts.buf_overrun, counts.brk, counts.rng};
}

std::optional<LineStatus> PosixSerialDevice::clearErrors()
{
    const auto in = queueCount(FIONREAD);
    const auto out = queueCount(TIOCOUTQ);
    if (!in || !out)
        return std::nullopt;
    LineStatus status{0, static_cast<std::uint32_t>(*in), static_cast<std::uint32_t>(*out)};
    if (hasCounters_) {
        if (const auto now = counters()) {
            std::lock_guard lock(errorsLock_);
            status.errors = now->errorFlags(errorsCleared_);
            errorsCleared_ = *now;
        }
    }
    return status;
}

void PosixSerialDevice::purge(Queue queue)
{
    if (tcflush(fd_, queue == Queue::Input ? TCIFLUSH : TCOFLUSH) != 0)
        failed(errno);
}

void PosixSerialDevice::selectEvents(std::uint32_t mask)
{
    mask_ = mask;
    ++selections_;
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(wakeFd_, &one, sizeof one);
}

std::uint32_t PosixSerialDevice::newEvents()
{
    std::uint32_t events = 0;
    rxSeen_ = std::max(0, rxSeen_ - rxTaken_.exchange(0));
    if (const auto in = queueCount(FIONREAD)) {
        if (*in > rxSeen_)
            events |= lineEvent::rxChar;
        rxSeen_ = *in;
    }
    if (txBusy_.load()) {
        if (const auto out = queueCount(TIOCOUTQ); out && *out == 0) {
            txBusy_ = false;
            events |= lineEvent::txEmpty;
        }
    }
    if (hasModemLines_) {
        int lines = 0;
        if (ioctl(fd_, TIOCMGET, &lines) == 0) {
            const int changed = lines ^ modemSeen_;
            if ((changed & TIOCM_CTS) != 0)
                events |= lineEvent::cts;
            if ((changed & TIOCM_DSR) != 0)
                events |= lineEvent::dsr;
            if ((changed & TIOCM_CD) != 0)
                events |= lineEvent::rlsd;
            if ((changed & lines & TIOCM_RI) != 0)
                events |= lineEvent::ring;
            modemSeen_ = lines;
        } else {
            failed(errno);
        }
    }
    if (hasCounters_) {
        if (const auto now = counters()) {
            if (now->brk != countersSeen_.brk)
                events |= lineEvent::brk;
            if ((now->errorFlags(countersSeen_) & ~lineError::brk) != 0)
                events |= lineEvent::error;
            if (now->ring != countersSeen_.ring)
                events |= lineEvent::ring;
            countersSeen_ = *now;
        }
    }
    return events & mask_.load();
}

bool PosixSerialDevice::needsTicking() const
{
    return hasModemLines_ || hasCounters_ || txBusy_.load() || rxSeen_ > 0;
}

WaitStart PosixSerialDevice::startEventWait(std::uint32_t& events)
{
    if (lost() || mask_.load() == 0)
        return WaitStart::Failed;
    waitSelection_ = selections_.load();
    events = newEvents();
    if (lost())
        return WaitStart::Failed;
    return events != 0 ? WaitStart::Done : WaitStart::Pending;
}

bool PosixSerialDevice::finishEventWait(std::uint32_t& events)
{
    for (;;) {
        if (selections_.load() != waitSelection_ && mask_.load() == 0) {
            events = 0;
            return true;
        }
        events = newEvents();
        if (lost())
            return false;
        if (events != 0)
            return true;
        // Unread data would keep poll() returning at once; it is looked at on the tick instead.
        pollfd watched[2] = {{fd_, static_cast<short>(rxSeen_ > 0 ? 0 : POLLIN), 0}, {wakeFd_, POLLIN, 0}};
        if (poll(watched, 2, needsTicking() ? tickMs : -1) < 0 && errno != EINTR)
            return false;
        if ((watched[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
            lost_ = true;
            return false;
        }
        if ((watched[1].revents & POLLIN) != 0) {
            std::uint64_t count = 0;
            [[maybe_unused]] const auto drained = ::read(wakeFd_, &count, sizeof count);
        }
    }
}

std::optional<int> PosixSerialDevice::read(std::span<std::uint8_t> into)
{
    const auto got = ::read(fd_, into.data(), into.size());
    if (got > 0) {
        rxTaken_ += static_cast<int>(got);
        return static_cast<int>(got);
    }
    if (got < 0 && (errno == EAGAIN || errno == EINTR))
        return 0;
    if (got < 0) {
        failed(errno);
        return std::nullopt;
    }
    // Nothing although bytes were announced: a hung-up device reads as end of file.
    pollfd watched{fd_, 0, 0};
    if (!into.empty() && poll(&watched, 1, 0) > 0 && (watched.revents & (POLLHUP | POLLERR)) != 0)
        lost_ = true;
    return 0;
}

std::optional<int> PosixSerialDevice::write(std::span<const std::uint8_t> from)
{
    const auto sent = ::write(fd_, from.data(), from.size());
    if (sent >= 0) {
        if (sent > 0)
            txBusy_ = true;
        return static_cast<int>(sent);
    }
    if (errno == EAGAIN || errno == EINTR)
        return 0;
    failed(errno);
    return std::nullopt;
}

bool PosixSerialDevice::outputDrained()
{
    const auto queued = queueCount(TIOCOUTQ);
    if (!queued)
        return true;
    if (*queued > 0)
        return false;
    // The UART's own buffer and shift register; devices without them (pseudo-terminals, many USB
    // adapters) have nothing more to send once the queue is empty.
    unsigned int lineStatus = 0;
    if (ioctl(fd_, TIOCSERGETLSR, &lineStatus) == 0)
        return (lineStatus & TIOCSER_TEMT) != 0;
    return true;
}

PosixSerialPorts::PosixSerialPorts(QString workstationFolder) : workstationFolder_(std::move(workstationFolder)) {}

std::unique_ptr<SerialDevice> PosixSerialPorts::open(int comNumber)
{
    return PosixSerialDevice::open(portDevicePath(workstationFolder_, comNumber));
}

bool PosixSerialPorts::probe(int comNumber)
{
    return PosixSerialDevice::probe(portDevicePath(workstationFolder_, comNumber));
}

} // namespace kirvan
