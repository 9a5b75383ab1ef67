#include "CommPort/CommPort1.h"

namespace kirvan {

void configureCommPort1(TCommPort& port, TTriggerAvailEvent onTriggerAvail)
{
    port.setComNumber(2);
    port.setBaudRate(cbr4800);
    port.setParity(paMark);
    port.setStopbits(sb1_0);
    port.setDatabits(8);
    port.setInSize(2048);
    port.setOutSize(4096);
    port.setOpen(false);
    port.setDTR(true);
    port.setRTS(true);
    port.setBaud(4800);
    port.setMonitorEvents(allEvents);
    port.setOnTriggerAvail(std::move(onTriggerAvail));
}

} // namespace kirvan
