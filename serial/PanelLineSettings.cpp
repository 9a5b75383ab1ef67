#include "serial/PanelLineSettings.h"

namespace kirvan {

void configurePanelLine(SerialPort& port, BytesHandler onTriggerAvail)
{
    port.setComNumber(2);
    port.setBaudRate(cbr4800);
    port.setParity(paMark);
    port.setStopBits(sb1_0);
    port.setDataBits(8);
    port.setInSize(2048);
    port.setOutSize(4096);
    port.setOpen(false);
    port.setDtr(true);
    port.setRts(true);
    port.setBaud(4800);
    port.setMonitorEvents(allEvents);
    port.setOnTriggerAvail(std::move(onTriggerAvail));
}

} // namespace kirvan
