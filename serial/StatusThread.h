#pragma once

#include "serial/PortThread.h"

namespace kirvan {

class SerialPort;
class SerialDevice;

// Waits for line events, keeps the CTS state for the write thread and wakes the read thread.
class StatusThread final : public PortThread {
public:
    explicit StatusThread(SerialPort& port);

private:
    void run() override;
    // Reads CTS into the port's state; left as it was when the lines cannot be read.
    void readCts();

    SerialPort& port_;
    SerialDevice& handle_;
};

} // namespace kirvan
