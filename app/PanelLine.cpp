#include "app/PanelLine.h"

#include "serial/PanelLineSettings.h"

namespace kirvan {

PanelLine::PanelLine(MessageLoop& loop, const QString& workstationFolder)
    : ports_(workstationFolder), serialPort_(loop, ports_, clock_), link_(serialPort_, ports_)
{
    configurePanelLine(serialPort_);
}

} // namespace kirvan
