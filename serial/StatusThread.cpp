#include "serial/StatusThread.h"

#include "serial/SerialPort.h"

namespace kirvan {

StatusThread::StatusThread(SerialPort& port)
    : PortThread(port.loop_), port_(port), handle_(*port.device_),
      dispatch_(port.loop_, port.handOverDepth_, [this] { port_.dispatch(eventWord_); })
{
}

bool StatusThread::readModemLines(bool withRing)
{
    const auto lines = handle_.modemLines();
    if (!lines)
        return false;
    port_.ctsState_ = lines->cts;
    port_.dsrState_ = lines->dsr;
    port_.rlsdState_ = lines->rlsd;
    if (withRing)
        port_.ringState_ = lines->ring;
    return true;
}

void StatusThread::run()
{
    PortClock& clock = port_.clock_;
    const bool linesKnown = readModemLines(true);
    // The start is signalled before the first report: opening waits for this signal on the main
    // thread, which could not run the report meanwhile.
    clock.set(port_.statusSignal_);
    if (linesKnown) {
        eventWord_ = lineEvent::modemLines;
        dispatch_.run();
    }
    while (!port_.stopping() && !terminated()) {
        const WaitStart start = handle_.startEventWait(eventWord_);
        if (start != WaitStart::Done)
            clock.pause(100);
        if (port_.stopping())
            break;
        const bool ok = start == WaitStart::Done
            || (start == WaitStart::Pending && handle_.finishEventWait(eventWord_));
        if (handle_.lost()) {
            port_.lineLost();
            break;
        }
        if (port_.stopping() || !ok)
            continue;
        clock.set(port_.receiveSignal_);
        if ((eventWord_ & lineEvent::modemRefresh) != 0)
            readModemLines(false);
        dispatch_.run();
    }
    clock.set(port_.statusSignal_);
}

} // namespace kirvan
