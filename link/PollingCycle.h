#pragma once

#include "link/LinkState.h"
#include "link/LinkSupervision.h"

#include <functional>
#include <memory>

namespace kirvan {

class CommandQueue;
class MessageLoop;
class StatusBar;
class Timer;
class Transmitter;

// The master's cycle on the line: every 800 ms either the next queued command or a link check
// to one configured system, in turn. The first eight ticks after start send nothing.
class PollingCycle {
public:
    static constexpr int tickMs = 800;
    static constexpr int startupTicks = 8;

    // `portOpen` tells whether the port is open: while it is closed nothing goes out, so no
    // system can be missing, and the port is searched once a minute instead. `lookForPort` runs
    // at every working tick: a port closed or gone is opened again as soon as it is back.
    PollingCycle(MessageLoop& loop, CommandQueue& queue, Transmitter& transmitter, StatusBar& statusBar,
                 LinkSupervision::RecordHandler processEvent, std::function<void()> portSearch,
                 std::function<bool()> portOpen, std::function<void()> lookForPort);
    ~PollingCycle();

    void pollTick();

    void start();
    void stop();
    bool running() const;

    int pollTicks() const { return pollTicks_; }
    bool startupOver() const { return pollTicks_ == startupTicks; }
    int pollCursor() const { return pollCursor_; }
    int systemCount() const { return systemCount_; }
    void setSystemCount(int count) { systemCount_ = count; }
    LinkStateTable& linkState() { return linkState_; }
    LinkSupervision& supervision() { return supervision_; }

private:
    int nextCheckedAddress();
    void sendLinkCheck();

    MessageLoop& loop_;
    CommandQueue& queue_;
    Transmitter& transmitter_;
    StatusBar& statusBar_;
    std::function<void()> portSearch_;
    std::function<bool()> portOpen_;
    std::function<void()> lookForPort_;
    std::unique_ptr<Timer> timer4_;
    bool ticking_ = false;
    int pollTicks_ = 0;
    int pollCursor_ = 0;
    int systemCount_ = 0;
    LinkStateTable linkState_{};
    LinkSupervision supervision_;
};

} // namespace kirvan
