#include "link/PortSelection.h"

#include "files/IniFile.h"
#include "files/SettingsKeys.h"
#include "link/LinkPort.h"
#include "platform/StatusBar.h"
#include "platform/SystemError.h"

#include <cerrno>

namespace kirvan {

namespace {

// The reasons an installer meets, in the words that tell what to do about them.
QString portErrorText(int error)
{
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return QStringLiteral("нет устройства");
    case EACCES:
    case EPERM:
        return QStringLiteral("нет доступа (группа dialout)");
    case EBUSY:
    case EWOULDBLOCK:
        return QStringLiteral("занят другой программой");
    default:
        return systemErrorText(error);
    }
}

} // namespace

PortSelection::PortSelection(LinkPort& port, IniFile& settings, StatusBar& statusBar)
    : port_(port), settings_(settings), statusBar_(statusBar)
{}

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

void PortSelection::searchPorts(std::optional<int> wanted)
{
    port_.close();
    for (int n = 1; n <= PortCount; ++n)
        visible_[index(n)] = port_.probe(n);
    changed();
    const int chosen = wanted.value_or(settings_.readInteger(settings::sectionSettings, settings::keyComPort, 1));
    if (chosen >= 1 && chosen <= PortCount)
        choosePort(chosen);
}

void PortSelection::choosePort(int n)
{
    port_.openNumber(n);
    checked_ = n;
    showPortState();
    settings_.writeInteger(settings::sectionSettings, settings::keyComPort, n);
    changed();
}

void PortSelection::reopenWhenBack()
{
    if (port_.isOpen())
        return;
    const int n = checked_.value_or(settings_.readInteger(settings::sectionSettings, settings::keyComPort, 1));
    if (n < 1 || n > PortCount || !port_.probe(n))
        return;
    port_.close();
    port_.openNumber(n);
    showPortState();
}

void PortSelection::showPortState()
{
    if (port_.isOpen())
        return;
    statusBar_.setLinkLamp(Rgb{255, 0, 0});
    statusBar_.setStatePanel(QStringLiteral("  ") + closedText());
}

QString PortSelection::closedText() const
{
    const int error = port_.openError();
    if (!checked_ || error == 0)
        return QStringLiteral("ПОРТ ЗАКРЫТ");
    return caption(*checked_) + QStringLiteral(": ") + portErrorText(error);
}

QString PortSelection::portState() const
{
    if (!checked_)
        return QStringLiteral("не выбран");
    return port_.isOpen() ? caption(*checked_) : closedText();
}

void PortSelection::changed()
{
    if (onChanged_)
        onChanged_();
}

} // namespace kirvan
