#pragma once

#include "link/SerialPortLink.h"
#include "serial/PortClock.h"
#include "serial/PosixSerialDevice.h"
#include "serial/SerialPort.h"

namespace kirvan {

class MessageLoop;

// The workstation's end of the line to the panels: the serial port of the workstation folder's
// ports, set up with the line's settings before anything can open it, and that port as the panel
// link takes it. The workstation is built on port(): its link binds the receiver to the port's
// arrivals, and its start-up opens the port, once, with these settings already in force. Built
// before the workstation and destroyed after it, so the port closes after the shut-down line.
class PanelLine {
public:
    PanelLine(MessageLoop& loop, const QString& workstationFolder);
    PanelLine(const PanelLine&) = delete;
    PanelLine& operator=(const PanelLine&) = delete;

    LinkPort& port() { return link_; }

private:
    PosixSerialPorts ports_;
    SteadyPortClock clock_;
    SerialPort serialPort_;
    SerialPortLink link_;
};

} // namespace kirvan
