#pragma once

#include "platform/MessageLanguage.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace kirvan {

struct CommandLine {
    QString folder; // the workstation folder; empty: chosen by defaultWorkstationFolder
    std::optional<int> comPort; // opened by the start-up instead of the stored port, and stored as the menu item COMn does
    std::optional<int> quitAfter; // seconds until the window closes the normal way
    QString screenshot; // a picture of the window saved just before it closes
    bool fullScreen = false; // the main window over the whole screen (kiosk operation)
    bool help = false;
    bool version = false;
};

// The options of KirvanMonitorP. A malformed command line gives nothing and the reason in `error`.
std::optional<CommandLine> parseCommandLine(const QStringList& arguments, QString& error);

// The text of --help, also the source of the manual pages.
QString commandLineUsage(MessageLanguage language = messageLanguage());

} // namespace kirvan
