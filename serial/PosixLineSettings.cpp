#include "serial/PosixLineSettings.h"

// termios2 lives in the kernel's headers, which clash with the C library's <termios.h>; this file
// therefore uses the kernel's definitions only.
#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace kirvan::posix {

namespace {
bool get(int fd, termios2& tio)
{
    return ioctl(fd, TCGETS2, &tio) == 0;
}

bool set(int fd, const termios2& tio)
{
    return ioctl(fd, TCSETS2, &tio) == 0;
}

tcflag_t sizeBits(int dataBits)
{
    switch (dataBits) {
    case 5:
        return CS5;
    case 6:
        return CS6;
    case 7:
        return CS7;
    default:
        return CS8;
    }
}

int dataBitsOf(tcflag_t cflag)
{
    switch (cflag & CSIZE) {
    case CS5:
        return 5;
    case CS6:
        return 6;
    case CS7:
        return 7;
    default:
        return 8;
    }
}

Parity parityOf(tcflag_t cflag)
{
    if ((cflag & PARENB) == 0)
        return Parity::none;
    const bool odd = (cflag & PARODD) != 0;
    if ((cflag & CMSPAR) != 0)
        return odd ? Parity::mark : Parity::space;
    return odd ? Parity::odd : Parity::even;
}

tcflag_t parityBits(Parity parity)
{
    switch (parity) {
    case Parity::odd:
        return PARENB | PARODD;
    case Parity::even:
        return PARENB;
    case Parity::mark:
        return PARENB | CMSPAR | PARODD;
    case Parity::space:
        return PARENB | CMSPAR;
    case Parity::none:
        break;
    }
    return 0;
}
} // namespace

bool makeRaw(int fd)
{
    termios2 tio{};
    if (!get(fd, tio))
        return false;
    tio.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF
                                          | IXANY | INPCK);
    tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag |= CREAD | CLOCAL;
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    return set(fd, tio);
}

bool readLineSettings(int fd, LineSettings& settings)
{
    termios2 tio{};
    if (!get(fd, tio))
        return false;
    settings.baud = static_cast<int>(tio.c_ospeed);
    settings.parity = parityOf(tio.c_cflag);
    settings.stopBits = (tio.c_cflag & CSTOPB) != 0 ? StopBits::two : StopBits::one;
    settings.dataBits = dataBitsOf(tio.c_cflag);
    settings.ctsFlow = (tio.c_cflag & CRTSCTS) != 0;
    return true;
}

bool writeLineSettings(int fd, const LineSettings& settings, bool hasCtsLine)
{
    if (settings.baud <= 0 || settings.dataBits < 5 || settings.dataBits > 8)
        return false;
    termios2 tio{};
    if (!get(fd, tio))
        return false;
    tio.c_cflag &= ~static_cast<tcflag_t>(CBAUD | (CBAUD << IBSHIFT) | CSIZE | PARENB | PARODD | CMSPAR | CSTOPB
                                          | CRTSCTS);
    tio.c_cflag |= BOTHER | sizeBits(settings.dataBits) | parityBits(settings.parity);
    tio.c_ispeed = static_cast<speed_t>(settings.baud);
    tio.c_ospeed = static_cast<speed_t>(settings.baud);
    // One and a half stop bits are what a UART sends for two with five data bits.
    if (settings.stopBits != StopBits::one)
        tio.c_cflag |= CSTOPB;
    if (settings.ctsFlow && hasCtsLine)
        tio.c_cflag |= CRTSCTS;
    return set(fd, tio);
}

} // namespace kirvan::posix
