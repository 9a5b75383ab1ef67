#include "link/PanelLink.h"

#include "link/LinkPort.h"
#include "platform/MessageLoop.h"
#include "platform/StatusBar.h"

namespace kirvan {

PanelLink::PanelLink(MessageLoop& loop, LinkPort& port, IniFile& settings, StatusBar& statusBar,
                     RecordHandler processEvent)
    : loop_(loop),
      port_(port),
      delay_(loop),
      transmitter_(loop, port, delay_, statusBar, [this] { return cycle_.startupOver(); }),
      ports_(port, settings, statusBar),
      cycle_(
          loop, queue_, transmitter_, statusBar, processEvent, [this] { ports_.searchPorts(); },
          // A device lost while open is a line gone silent under systems that were being
          // supervised: their loss is real and reported; a port never opened is not.
          [&port] { return port.isOpen() || port.deviceLost(); }, [this] { ports_.reopenWhenBack(); }),
      receiver_(port, cycle_.linkState(), statusBar, processEvent)
{
    // The lamp turns green only for an answer (the receiver shows it): a frame sent leaves it
    // neutral, so a line that hears nothing never looks normal. A frame sent to a closed port
    // went nowhere: the port's trouble is shown instead.
    delay_.setOnExpiry([this, &port] {
        if (!port.isOpen())
            ports_.showPortState();
    });
    receiver_.setOnHeard([this](std::uint8_t address) { cycle_.supervision().heard(address, loop_.now()); });
    port.setOnBytesArrived([this](std::uint16_t count) { receiver_.bytesArrived(count); });
}

bool PanelLink::queueCommand(std::uint8_t address, std::uint8_t code, std::uint8_t parameterA, std::uint8_t parameterB)
{
    const Command command{address, code, parameterA, parameterB};
    if (queue_.queueCommand(command))
        return true;
    if (onRefused_)
        onRefused_(command);
    return false;
}

PanelLink::~PanelLink()
{
    port_.setOnBytesArrived({});
}

} // namespace kirvan
