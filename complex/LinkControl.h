#pragma once

namespace kirvan {

// What loading the configuration asks of the panel link. The link layer implements it; the main
// window plugs the link in, so the configuration never depends on the link.
class LinkControl {
public:
    virtual ~LinkControl() = default;

    // Every address unconfigured (link state 255), the state requests of an earlier load
    // dropped from the command queue (the commands asked for stay), system count 0.
    virtual void resetForLoad() = 0;
    // A system the load accepts: its link state 0, one more in the system count, and the initial
    // request (command 130) queued twice for it.
    virtual void acceptSystem(int address) = 0;
    // Waits while messages are processed (sendPauseTimer).
    virtual void delay(int ms) = 0;
    // Enables pollTimer and runs one polling tick at once.
    virtual void startPolling() = 0;
    // Disables pollTimer.
    virtual void stopPolling() = 0;
};

} // namespace kirvan
