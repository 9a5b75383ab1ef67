#pragma once

#include "link/CommandQueue.h"
#include "link/DelayTimer.h"
#include "link/FrameReceiver.h"
#include "link/PollingCycle.h"
#include "link/PortSelection.h"
#include "link/Transmitter.h"

namespace kirvan {

class IniFile;
class LinkPort;
class MessageLoop;
class StatusBar;

// The panel link as the main window holds it: the command queue, sendPauseTimer with Delay, the
// transmitter, the polling cycle with its supervision, the receiver and the choice of the port,
// wired to each other.
class PanelLink {
public:
    using RecordHandler = std::function<void(const QString& record)>;

    // Bytes arriving at the port go to the receiver while the link exists.
    PanelLink(MessageLoop& loop, LinkPort& port, IniFile& settings, StatusBar& statusBar, RecordHandler processEvent);
    ~PanelLink();
    PanelLink(const PanelLink&) = delete;
    PanelLink& operator=(const PanelLink&) = delete;

    CommandQueue& queue() { return queue_; }
    DelayTimer& delay() { return delay_; }
    Transmitter& transmitter() { return transmitter_; }
    PollingCycle& cycle() { return cycle_; }
    FrameReceiver& receiver() { return receiver_; }
    PortSelection& ports() { return ports_; }

    // Queues a command someone asked for (an operator, a control module). A command that finds
    // the queue full is refused: false, and the refusal handler is told, so that the operator
    // hears of it (it is never dropped silently).
    bool queueCommand(std::uint8_t address, std::uint8_t code, std::uint8_t parameterA, std::uint8_t parameterB);
    using RefusalHandler = std::function<void(const Command& command)>;
    void setOnRefused(RefusalHandler handler) { onRefused_ = std::move(handler); }
    void sendFrame(std::uint8_t address, std::uint8_t code, std::uint8_t parameterA, std::uint8_t parameterB)
    {
        transmitter_.sendFrame(address, code, parameterA, parameterB);
    }
    void delay(int ms) { delay_.delay(ms); }

private:
    MessageLoop& loop_;
    LinkPort& port_;
    CommandQueue queue_;
    DelayTimer delay_;
    Transmitter transmitter_;
    PortSelection ports_;
    PollingCycle cycle_;
    FrameReceiver receiver_;
    RefusalHandler onRefused_;
};

} // namespace kirvan
