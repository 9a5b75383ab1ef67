#pragma once

#include "serial/SerialDevice.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <vector>

namespace kirvan::testing {

class ManualPortClock;

// A byte as it left the line: its value, the parity it was sent with and when.
struct SentByte {
    std::uint8_t value;
    Parity parity;
    std::int64_t at;
    bool operator==(const SentByte&) const = default;
};

// A serial line for tests, with the far end in the test's hands. The test delivers received
// bytes, drives CTS, DSR, carrier and ring, raises breaks and line errors, refuses opening, fails
// a read or a write, or makes the device disappear. Bytes written by the port go out at once
// while CTS is on; with CTS off they stay in the driver's output queue until it comes on, as
// hardware flow control holds them. Each sent byte is recorded with the parity then in force and
// the port clock's time. Operations the port makes on the line are noted in the clock's journal.
class SimulatedLine final : public SerialPorts {
public:
    explicit SimulatedLine(ManualPortClock& clock);
    ~SimulatedLine() override;

    std::unique_ptr<SerialDevice> open(int comNumber) override;

    // Ports 1 to 10 exist; opening any of them can be refused.
    void setRefuseOpening(bool refuse);
    bool isOpen();
    int openedNumber();

    void receive(const std::vector<std::uint8_t>& bytes);
    void setCts(bool on);
    void setDsr(bool on);
    void setCarrier(bool on);
    void ring();
    void sendBreak();
    void lineError(std::uint32_t flags);
    void failNextRead();
    void failNextWrite();
    void vanish();

    std::vector<SentByte> sent();
    std::vector<std::uint8_t> sentValues();
    LineSettings settings();
    bool dtr();
    bool rts();
    std::size_t inQueue();

    // Whether the port's status thread waits in finishEventWait() now, with nothing yet to end
    // its wait.
    bool eventWaiting();
    // Called whenever the status thread starts such a wait.
    void setOnWait(std::function<void()> handler);

private:
    class Device;
    friend class Device;

    void raise(std::uint32_t events);
    void transmit();

    ManualPortClock& clock_;
    std::mutex mutex_;
    std::condition_variable changed_;

    bool refuseOpening_ = false;
    Device* device_ = nullptr;
    int openedNumber_ = 0;

    LineSettings settings_;
    ModemLines modem_{true, true, false, false};
    bool dtr_ = false;
    bool rts_ = false;
    std::deque<std::uint8_t> input_;
    std::deque<std::uint8_t> output_;
    std::vector<SentByte> sent_;
    std::uint32_t errors_ = 0;
    std::uint32_t mask_ = 0;
    std::uint32_t pendingEvents_ = 0;
    std::uint64_t selections_ = 0;
    int eventWaiters_ = 0;
    std::uint64_t waiterSelection_ = 0;
    std::function<void()> onWait_;
    bool failRead_ = false;
    bool failWrite_ = false;
    bool lost_ = false;
};

} // namespace kirvan::testing
