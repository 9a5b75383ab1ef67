#include "link/PanelLink.h"

#include "link/LinkPort.h"
#include "platform/MessageLoop.h"
#include "platform/StatusBar.h"

namespace kirvan {

PanelLink::PanelLink(MessageLoop& loop, LinkPort& port, IniFile& settings, StatusBar& statusBar,
                     RecordHandler processEvent)
    : loop_(loop),
      delay_(loop),
      transmitter_(port, delay_, statusBar, [this] { return cycle_.startupOver(); }),
      ports_(port, settings),
      cycle_(loop, queue_, transmitter_, statusBar, processEvent, [this] { ports_.FindComPortExecute(); }),
      receiver_(port, cycle_.LinkState(), statusBar, processEvent)
{
    // Every frame sent shows the link as normal 200 ms later, answered or not; the supervision
    // reports a system that stops answering.
    delay_.setOnExpiry([&statusBar] {
        statusBar.setShape2(Rgb{0, 128, 0});
        statusBar.setPanel15(QStringLiteral("  СОСТОЯНИЕ: НОРМА"));
    });
    receiver_.setOnHeard([this](std::uint8_t address) { cycle_.supervision().heard(address, loop_.now()); });
}

} // namespace kirvan
