#include "link/Transmitter.h"

#include "link/DelayTimer.h"
#include "link/LinkPort.h"
#include "platform/StatusBar.h"

namespace kirvan {

namespace {
// Time for the address byte to leave the line before the parity changes for the body.
constexpr int addressGapMs = 200;
} // namespace

Transmitter::Transmitter(LinkPort& port, DelayTimer& delay, StatusBar& statusBar,
                         std::function<bool()> startupOver)
    : port_(port), delay_(delay), statusBar_(statusBar), startupOver_(std::move(startupOver))
{
}

void Transmitter::SendFrame(std::uint8_t address, std::uint8_t code, std::uint8_t parameterA,
                            std::uint8_t parameterB)
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
    statusBar_.setShape2(std::nullopt);
    frame_ = {command.address,
              static_cast<std::uint8_t>(startupOver_() ? 0x20 : 0x21),
              command.code,
              command.parameterA,
              command.parameterB,
              0,
              0};
    frame_[6] = frameChecksum(frame_.data());
    port_.setParity(paMark);
    if (port_.OutFree() >= 1)
        port_.WriteByte(frame_[0]);
    delay_.Delay(addressGapMs);
    port_.setParity(paSpace);
    // The body goes whole or not at all: a part of it would make a false frame.
    if (port_.OutFree() >= 7)
        for (std::size_t i = 1; i < frame_.size(); ++i)
            port_.WriteByte(frame_[i]);
}

} // namespace kirvan
