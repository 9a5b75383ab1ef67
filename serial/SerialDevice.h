#pragma once

#include "serial/SerialTypes.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

namespace kirvan {

// The line settings of an open port. The port reads the whole record, changes one field and
// writes it back, so a change never disturbs the others.
struct LineSettings {
    int baud = 19200;
    Parity parity = Parity::none;
    StopBits stopBits = StopBits::one;
    int dataBits = 8;
    // Output waits while cts (DSR) is off; devices without that line ignore it.
    bool ctsFlow = false;
    bool dsrFlow = false;
    bool operator==(const LineSettings&) const = default;
};

struct ModemLines {
    bool cts = false;
    bool dsr = false;
    bool ring = false;
    bool rlsd = false;
};

// What reading and clearing the line errors gives: the error flags (lineError) since the last
// clearing and the bytes in the driver's input and output queues.
struct LineStatus {
    std::uint32_t errors = 0;
    std::uint32_t inQueue = 0;
    std::uint32_t outQueue = 0;
};

enum class Queue { Input, Output };
enum class ControlLine { Dtr, Rts };

enum class WaitStart {
    Done, // an event had already occurred; the event word holds it
    Pending, // finishEventWait() will wait for one
    Failed,
};

// One open serial port. The port's three worker threads and the main thread call it at the same
// time, so every operation is safe to call from any thread. Once the device has disappeared
// (adapter unplugged, other end of a pseudo-terminal gone) lost() holds and every operation fails.
class SerialDevice {
public:
    virtual ~SerialDevice() = default;

    virtual bool readSettings(LineSettings& settings) = 0;
    // Takes effect at once, also between two bytes of a transfer.
    virtual bool writeSettings(const LineSettings& settings) = 0;

    // Lines a device does not have count as on for CTS and DSR, so output is never held forever.
    virtual std::optional<ModemLines> modemLines() = 0;
    virtual void setControlLine(ControlLine line, bool on) = 0;

    virtual std::optional<LineStatus> clearErrors() = 0;
    virtual void purge(Queue queue) = 0;

    // The events (lineEvent bits) that end an event wait; 0 also ends a pending wait at once.
    virtual void selectEvents(std::uint32_t mask) = 0;
    // Starts a wait for a line event. Events are reported once: an event that occurred before
    // the wait started, since the last report, ends it at once.
    virtual WaitStart startEventWait(std::uint32_t& events) = 0;
    // Blocks until a selected event occurs or the selection changes to none (events then 0).
    // False if the wait failed.
    virtual bool finishEventWait(std::uint32_t& events) = 0;

    // Transfers without blocking. The count moved (possibly 0), or nothing when the transfer
    // failed and should be tried again on the next pass.
    virtual std::optional<int> read(std::span<std::uint8_t> into) = 0;
    virtual std::optional<int> write(std::span<const std::uint8_t> from) = 0;
    // Whether the driver has sent every byte it was given, its hardware buffer included (as
    // tcdrain would wait for), without waiting. A lost device has nothing more to send.
    virtual bool outputDrained() = 0;

    virtual bool lost() const = 0;
};

// Opens serial port n exclusively, or gives nothing when it does not exist or is busy.
class SerialPorts {
public:
    virtual ~SerialPorts() = default;
    virtual std::unique_ptr<SerialDevice> open(int comNumber) = 0;
    // Whether port n exists and is free, leaving the device as it was found.
    virtual bool probe(int comNumber) { return open(comNumber) != nullptr; }
};

} // namespace kirvan
