#include "serial/StatusThread.h"

#include "serial/SerialPort.h"

namespace kirvan {

StatusThread::StatusThread(SerialPort& port) : PortThread(port.loop_), port_(port), handle_(*port.device_) {}

void StatusThread::readCts()
{
    if (const auto lines = handle_.modemLines())
        port_.ctsState_ = lines->cts;
}

void StatusThread::run()
{
    PortClock& clock = port_.clock_;
    readCts();
    // Opening waits on the main thread for this signal.
    clock.set(port_.statusSignal_);
    std::uint32_t eventWord = 0;
    while (!port_.stopping() && !terminated()) {
        const WaitStart start = handle_.startEventWait(eventWord);
        if (start != WaitStart::Done)
            clock.pause(100);
        if (port_.stopping())
            break;
        const bool ok = start == WaitStart::Done || (start == WaitStart::Pending && handle_.finishEventWait(eventWord));
        if (handle_.lost()) {
            port_.lineLost();
            break;
        }
        if (port_.stopping() || !ok)
            continue;
        clock.set(port_.receiveSignal_);
        if ((eventWord & lineEvent::modemRefresh) != 0)
            readCts();
    }
    clock.set(port_.statusSignal_);
}

} // namespace kirvan
