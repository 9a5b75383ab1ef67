#pragma once

#include "CommPort/HandOver.h"
#include "CommPort/PortThread.h"

#include <cstdint>

namespace kirvan {

class TCustomCommPort;
class SerialDevice;

// Waits for line events, keeps the modem-line states, wakes the read thread and hands each event
// word to the port's dispatch on the main thread.
class TStatusThread final : public PortThread {
public:
    explicit TStatusThread(TCustomCommPort& port);

private:
    void Execute() override;
    // Reads the modem lines into the port's states; false if they cannot be read.
    bool readModemLines(bool withRing);

    TCustomCommPort& port_;
    SerialDevice& handle_;
    std::uint32_t eventWord_ = 0;
    HandOver dispatch_;
};

} // namespace kirvan
