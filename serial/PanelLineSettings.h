#pragma once

#include "serial/SerialPort.h"

namespace kirvan {

// Sets a port up for the line to the panels: port 2, 4800 bit/s, mark parity, one stop bit,
// 8 data bits, buffers of 2048 and 4096 bytes, closed, DTR and RTS on. Done before the port is
// first opened, so that the opening applies them.
void configurePanelLine(SerialPort& port);

} // namespace kirvan
