#pragma once

#include "link/CommandQueue.h"
#include "link/Frame.h"

#include <deque>
#include <functional>

namespace kirvan {

class DelayTimer;
class LinkPort;
class StatusBar;

// SendFrame: one command frame on the line, the address byte with mark parity and, 200 ms later,
// the body with space parity, so the parity bit marks the start of a frame.
// The main thread keeps handling messages during those 200 ms, and a handler may ask for another
// frame then (an arming command pressed during a poll). Frames must never mix on the line, so
// such a request is held back and sent right after the frame in flight, in the order asked.
class Transmitter {
public:
    // `startupOver` tells whether the polling cycle has passed its first eight ticks (t1 is
    // 0x20 then, 0x21 before).
    Transmitter(LinkPort& port, DelayTimer& delay, StatusBar& statusBar, std::function<bool()> startupOver);

    void SendFrame(std::uint8_t address, std::uint8_t code, std::uint8_t parameterA, std::uint8_t parameterB);

    bool sending() const { return sending_; }

private:
    void sendOne(const Command& command);

    LinkPort& port_;
    DelayTimer& delay_;
    StatusBar& statusBar_;
    std::function<bool()> startupOver_;
    Frame frame_{};
    bool sending_ = false;
    std::deque<Command> heldBack_;
};

} // namespace kirvan
