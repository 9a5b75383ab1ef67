#pragma once

#include "serial/PortThread.h"

namespace kirvan {

class SerialPort;
class SerialDevice;

// Moves bytes from the transmit buffer to the driver every 100 ms while CTS is on.
class WriteThread final : public PortThread {
public:
    explicit WriteThread(SerialPort& port);

private:
    void run() override;
    SerialDevice& handle_;
    SerialPort& port_;
};

} // namespace kirvan
