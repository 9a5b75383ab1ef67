#include "serial/WriteThread.h"

#include "serial/SerialPort.h"

#include <algorithm>
#include <cstring>

namespace kirvan {

WriteThread::WriteThread(SerialPort& port) : PortThread(port.loop_), handle_(*port.device_), port_(port) {}

void WriteThread::run()
{
    PortClock& clock = port_.clock_;
    auto& tx = port_.tx_;
    clock.set(port_.writeSignal_);
    do {
        if (tx.count.load() > 0) {
            {
                std::lock_guard lock(tx.lock);
                const auto status = handle_.clearErrors();
                const int queued = status ? static_cast<int>(std::min<std::uint32_t>(status->outQueue, 0x7FFFFFFF)) : 0;
                const int n = std::min(tx.count.load(), tx.size - queued);
                if (n > 0 && !port_.stopFlag_.load() && port_.ctsState_.load()) {
                    const auto from = std::span(tx.data).first(static_cast<std::size_t>(n));
                    if (const auto written = handle_.write(from); written && *written > 0)
                        SerialPort::consumeFront(tx, std::min(*written, n));
                }
            }
            if (port_.stopFlag_.load())
                break;
        }
        if (handle_.lost()) {
            port_.lineLost();
            break;
        }
        clock.pause(100);
    } while (!port_.stopping() && !terminated());
    clock.set(port_.writeSignal_);
}

} // namespace kirvan
