#pragma once

#include "serial/HandOver.h"
#include "serial/PortThread.h"

#include <cstdint>

namespace kirvan {

class SerialPort;
class SerialDevice;

// Waits for line events, keeps the modem-line states, wakes the read thread and hands each event
// word to the port's dispatch on the main thread.
class StatusThread final : public PortThread {
public:
    explicit StatusThread(SerialPort& port);

private:
    void run() override;
    // Reads the modem lines into the port's states; false if they cannot be read.
    bool readModemLines(bool withRing);

    SerialPort& port_;
    SerialDevice& handle_;
    std::uint32_t eventWord_ = 0;
    HandOver dispatch_;
};

} // namespace kirvan
