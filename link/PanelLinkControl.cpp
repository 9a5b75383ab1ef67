#include "link/PanelLinkControl.h"

#include "link/Commands.h"
#include "link/PanelLink.h"
#include "platform/MessageLoop.h"

namespace kirvan {

void PanelLinkControl::resetForLoad()
{
    PollingCycle& cycle = link_.cycle();
    cycle.linkState().fill(LinkSupervision::notConfigured);
    // Commands asked for stay queued; the state requests of an earlier load are asked again.
    link_.queue().dropStateRequests();
    cycle.setSystemCount(0);
}

void PanelLinkControl::acceptSystem(int address)
{
    PollingCycle& cycle = link_.cycle();
    cycle.linkState()[static_cast<std::size_t>(address)] = 0;
    cycle.setSystemCount(cycle.systemCount() + 1);
    const auto to = static_cast<std::uint8_t>(address);
    link_.queue().queueStateRequest(to);
    link_.queue().queueStateRequest(to);
}

void PanelLinkControl::delay(int ms)
{
    link_.delay(ms);
}

void PanelLinkControl::startPolling()
{
    PollingCycle& cycle = link_.cycle();
    // The systems just accepted count as heard, so none is reported lost for checks that
    // went out before the load.
    cycle.supervision().restart(loop_.now());
    cycle.start();
    cycle.pollTick();
}

void PanelLinkControl::stopPolling()
{
    link_.cycle().stop();
}

} // namespace kirvan
