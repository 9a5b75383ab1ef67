#pragma once

#include "link/CommandQueue.h"
#include "link/Frame.h"

#include <deque>
#include <functional>
#include <memory>

namespace kirvan {

class DelayTimer;
class LinkPort;
class MessageLoop;
class StatusBar;
class Timer;

// sendFrame: one command frame on the line, the address byte with mark parity and, 200 ms after
// it has left, the body with space parity, so the parity bit marks the start of a frame.
// The parity of the port applies to the byte the line sends next, so every change waits until
// the bytes before it have left: the port's buffer is empty and the driver has sent them. Bytes
// held back on the line (CTS off) longer than `heldLimitMs` cost the frame that would have had to
// change the parity under them; the main thread keeps handling messages meanwhile.
// The main thread keeps handling messages during those 200 ms, and a handler may ask for another
// frame then (an arming command pressed during a poll). Frames must never mix on the line, so
// such a request is held back and sent right after the frame in flight, in the order asked.
class Transmitter {
public:
    // `startupOver` tells whether the polling cycle has passed its first eight ticks (t1 is
    // 0x20 then, 0x21 before).
    Transmitter(MessageLoop& loop, LinkPort& port, DelayTimer& delay, StatusBar& statusBar,
                std::function<bool()> startupOver);
    ~Transmitter();

    static constexpr int heldLimitMs = 2000;

    void sendFrame(std::uint8_t address, std::uint8_t code, std::uint8_t parameterA, std::uint8_t parameterB);

    bool sending() const { return sending_; }

private:
    void sendOne(const Command& command);
    // Waits, handling messages, until every byte handed to the port has left the line; false if
    // they are still held after heldLimitMs.
    bool awaitAllSent();

    MessageLoop& loop_;
    LinkPort& port_;
    DelayTimer& delay_;
    StatusBar& statusBar_;
    std::function<bool()> startupOver_;
    Frame frame_{};
    bool sending_ = false;
    std::deque<Command> heldBack_;
    // Wakes the wait for the line about once a byte time.
    std::unique_ptr<Timer> lineWatch_;
};

} // namespace kirvan
