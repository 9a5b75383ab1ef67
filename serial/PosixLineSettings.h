#pragma once

#include "serial/SerialDevice.h"

namespace kirvan::posix {

// Line settings of an open terminal device, through the kernel's termios2 so that every speed of
// BaudRate is available, including 14400, 56000, 128000 and 256000.

// Raw 8-bit transfers: no echo, no line editing, no translation, no software flow control,
// no parity check on input, modem lines ignored for opening and reading, reads that never block.
bool makeRaw(int fd);
bool readLineSettings(int fd, LineSettings& settings);
// Hardware flow control is only switched on for devices that have a CTS line.
bool writeLineSettings(int fd, const LineSettings& settings, bool hasCtsLine);

} // namespace kirvan::posix
