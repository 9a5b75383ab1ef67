#pragma once

#include "complex/LinkControl.h"

namespace kirvan {

class MessageLoop;
class PanelLink;

// The panel link as the configuration load drives it.
class PanelLinkControl final : public LinkControl {
public:
    PanelLinkControl(PanelLink& link, MessageLoop& loop) : link_(link), loop_(loop) {}

    void resetForLoad() override;
    void acceptSystem(int address) override;
    void delay(int ms) override;
    void startPolling() override;
    void stopPolling() override;

private:
    PanelLink& link_;
    MessageLoop& loop_;
};

} // namespace kirvan
