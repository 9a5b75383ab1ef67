#include "serial/PanelLineSettings.h"

namespace kirvan {

void configurePanelLine(SerialPort& port)
{
    port.setComNumber(2);
    port.setBaudRate(BaudRate::bps4800);
    port.setParity(Parity::mark);
    port.setStopBits(StopBits::one);
    port.setDataBits(8);
    port.setInSize(2048);
    port.setOutSize(4096);
    port.setOpen(false);
    port.setDtr(true);
    port.setRts(true);
    port.setBaud(4800);
}

} // namespace kirvan
