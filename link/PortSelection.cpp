#include "link/PortSelection.h"

#include "config/IniFile.h"
#include "config/SettingsKeys.h"
#include "link/LinkPort.h"

namespace kirvan {

PortSelection::PortSelection(LinkPort& port, IniFile& settings) : port_(port), settings_(settings) {}

QString PortSelection::caption(int n)
{
    return QStringLiteral("COM%1").arg(n);
}

QString PortSelection::menuText(int n)
{
    // The accelerator moves along the caption: &COM1, C&OM2, CO&M3, then the digit.
    QString text = caption(n);
    text.insert(n <= 3 ? n - 1 : 3, QLatin1Char('&'));
    return text;
}

void PortSelection::FindComPortExecute()
{
    port_.close();
    for (int n = 1; n <= PortCount; ++n)
        visible_[index(n)] = port_.probe(n);
    changed();
    const int stored = settings_.readInteger(settings::sectionSettings, settings::keyComPort, 1);
    if (stored >= 1 && stored <= PortCount)
        IniCOMExecute(stored);
}

void PortSelection::IniCOMExecute(int n)
{
    port_.openNumber(n);
    settings_.writeInteger(settings::sectionSettings, settings::keyComPort, n);
    checked_ = n;
    changed();
}

void PortSelection::changed()
{
    if (onChanged_)
        onChanged_();
}

} // namespace kirvan
