#include "serial/ReadThread.h"

#include "serial/SerialPort.h"

#include <algorithm>

namespace kirvan {

ReadThread::ReadThread(SerialPort& port)
    : PortThread(port.loop_),
      handle_(*port.device_),
      port_(port),
      bytesArrived_(port.loop_, port.handOverDepth_, [&port] { port.deliverBytesArrived(); })
{}

void ReadThread::run()
{
    PortClock& clock = port_.clock_;
    auto& rx = port_.rx_;
    clock.set(port_.readSignal_);
    do {
        if (!clock.wait(port_.receiveSignal_, 500)) {
            // A quiet line still gets a pass every 500 ms: the next wait returns at once.
            clock.set(port_.receiveSignal_);
            continue;
        }
        if (port_.stopping())
            break;
        const auto status = handle_.clearErrors();
        const int waiting = status ? static_cast<int>(std::min<std::uint32_t>(status->inQueue, 0x7FFFFFFF)) : 0;
        {
            std::lock_guard lock(rx.lock);
            const int held = rx.count.load();
            const int n = std::min(waiting, rx.size - held);
            if (n > 0) {
                const auto into = std::span(rx.data).subspan(static_cast<std::size_t>(held), static_cast<std::size_t>(n));
                if (const auto got = handle_.read(into))
                    rx.count = held + std::clamp(*got, 0, n);
            }
        }
        if (handle_.lost()) {
            port_.lineLost();
            break;
        }
        if (rx.count.load() > 0 && port_.bytesArrivedBound_.load())
            bytesArrived_.run();
    } while (!port_.stopping() && !terminated());
    clock.set(port_.readSignal_);
}

} // namespace kirvan
