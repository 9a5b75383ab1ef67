#pragma once

#include "CommPort/PortThread.h"

namespace kirvan {

class TCustomCommPort;
class SerialDevice;

// Moves bytes from the transmit buffer to the driver every 100 ms while CTS is on.
class TWriteThread final : public PortThread {
public:
    explicit TWriteThread(TCustomCommPort& port);

private:
    void Execute() override;
    SerialDevice& handle_;
    TCustomCommPort& port_;
};

} // namespace kirvan
