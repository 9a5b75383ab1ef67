#pragma once

#include "serial/SerialPort.h"

namespace kirvan {

// Configures a port as the main window's serialPort: port 2, 4800 bit/s, mark parity, one stop
// bit, 8 data bits, buffers of 2048 and 4096 bytes, closed, DTR and RTS on, and onBytesArrived
// (the receiver's bytesArrived) as the only handler.
void configurePanelLine(SerialPort& port, BytesArrivedHandler onBytesArrived);

} // namespace kirvan
