#pragma once

#include "CommPort/HandOver.h"
#include "CommPort/PortThread.h"

namespace kirvan {

class TCustomCommPort;
class SerialDevice;

// Moves received bytes from the driver into the receive buffer and tells the owner on the main
// thread how many are held, on every pass while any are: at least every 500 ms, and at once after
// a line event.
class TReadThread final : public PortThread {
public:
    explicit TReadThread(TCustomCommPort& port);

private:
    void Execute() override;
    SerialDevice& handle_;
    TCustomCommPort& port_;
    HandOver triggerAvail_;
};

} // namespace kirvan
