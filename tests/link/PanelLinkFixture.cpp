#include "tests/link/PanelLinkFixture.h"

#include "platform/Timer.h"

namespace kirvan::testing {

PanelLinkFixture::PanelLinkFixture()
{
    port.onWritten = [this](std::uint8_t byte) {
        pending_.push_back(byte);
        if (pending_.size() < 7)
            return;
        const Bytes frame = pending_;
        pending_.clear();
        if (frame[2] == 0 && answering.count(frame[0]) > 0)
            answerLater(frame[0]);
    };
}

void PanelLinkFixture::configure(std::initializer_list<int> addresses)
{
    auto& state = link.cycle().linkState();
    state.fill(0xFF);
    for (const int address : addresses)
        state[static_cast<std::size_t>(address)] = 0;
    link.cycle().setSystemCount(static_cast<int>(addresses.size()));
    link.cycle().supervision().restart(loop.now());
}

void PanelLinkFixture::answerLater(std::uint8_t address)
{
    auto timer = loop.createTimer();
    Timer* raw = timer.get();
    raw->setInterval(30);
    raw->setOnTimer([this, raw, address] {
        raw->setEnabled(false);
        port.received.deliver(frameBytes(0x20, address, 0, 0, 0));
        link.receiver().bytesArrived(static_cast<std::uint16_t>(port.inCount()));
    });
    raw->setEnabled(true);
    answerTimers_.push_back(std::move(timer));
}

std::vector<Bytes> PanelLinkFixture::framesSent() const
{
    std::vector<Bytes> frames;
    const auto bytes = port.sentBytes();
    for (std::size_t i = 0; i + 7 <= bytes.size(); i += 7)
        frames.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(i),
                            bytes.begin() + static_cast<std::ptrdiff_t>(i + 7));
    return frames;
}

} // namespace kirvan::testing
