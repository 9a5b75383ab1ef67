#pragma once

#include "serial/HandOver.h"
#include "serial/PortThread.h"

namespace kirvan {

class SerialPort;
class SerialDevice;

// Moves received bytes from the driver into the receive buffer and tells the owner on the main
// thread how many are held, on every pass while any are: at least every 500 ms, and at once after
// a line event.
class ReadThread final : public PortThread {
public:
    explicit ReadThread(SerialPort& port);

private:
    void run() override;
    SerialDevice& handle_;
    SerialPort& port_;
    HandOver bytesArrived_;
};

} // namespace kirvan
