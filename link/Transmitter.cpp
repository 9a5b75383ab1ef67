#include "link/Transmitter.h"

#include "link/DelayTimer.h"
#include "link/LinkPort.h"
#include "platform/MessageLoop.h"
#include "platform/StatusBar.h"
#include "platform/Timer.h"

namespace kirvan {

namespace {
// The pause between the address byte leaving the line and the body.
constexpr int addressGapMs = 200;
// A byte takes about 2.3 ms at 4800 bit/s.
constexpr int lineWatchMs = 2;
} // namespace

Transmitter::Transmitter(MessageLoop& loop, LinkPort& port, DelayTimer& delay, StatusBar& statusBar,
                         std::function<bool()> startupOver)
    : loop_(loop),
      port_(port),
      delay_(delay),
      statusBar_(statusBar),
      startupOver_(std::move(startupOver)),
      lineWatch_(loop.createTimer())
{
    lineWatch_->setInterval(lineWatchMs);
    lineWatch_->setOnTimer([] {});
}

Transmitter::~Transmitter() = default;

void Transmitter::sendFrame(std::uint8_t address, std::uint8_t code, std::uint8_t parameterA, std::uint8_t parameterB)
{
    heldBack_.push_back({address, code, parameterA, parameterB});
    if (sending_)
        return; // the frame in flight sends this one after itself
    sending_ = true;
    struct Done {
        bool& sending;
        ~Done() { sending = false; }
    } done{sending_};
    while (!heldBack_.empty()) {
        const Command next = heldBack_.front();
        heldBack_.pop_front();
        sendOne(next);
    }
}

void Transmitter::sendOne(const Command& command)
{
    statusBar_.setLinkLamp(std::nullopt);
    frame_ = {command.address,
              static_cast<std::uint8_t>(startupOver_() ? 0x20 : 0x21),
              command.code,
              command.parameterA,
              command.parameterB,
              0,
              0};
    frame_[6] = frameChecksum(frame_.data());
    // The frame before may still be on its way (held back by CTS); its body must not go out
    // with this frame's mark parity.
    if (!awaitAllSent())
        return;
    port_.setParity(Parity::mark);
    if (port_.outFree() >= 1)
        port_.writeByte(frame_[0]);
    // A held address byte must not go out with space parity; the frame ends here if it stays held.
    if (!awaitAllSent())
        return;
    delay_.delay(addressGapMs);
    port_.setParity(Parity::space);
    // The body goes whole or not at all: a part of it would make a false frame.
    if (port_.outFree() >= 7)
        for (std::size_t i = 1; i < frame_.size(); ++i)
            port_.writeByte(frame_[i]);
}

bool Transmitter::awaitAllSent()
{
    if (port_.allSent())
        return true;
    lineWatch_->setEnabled(true);
    const bool sent = loop_.waitUntil([this] { return port_.allSent(); }, heldLimitMs);
    lineWatch_->setEnabled(false);
    return sent;
}

} // namespace kirvan
