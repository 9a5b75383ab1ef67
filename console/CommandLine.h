#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace kirvan {

struct CommandLine {
    QString folder;                 // the workstation folder; empty: the folder of the program file
    std::optional<int> comPort;     // chosen once start-up is done, as the menu item COMn does
    std::optional<int> quitAfter;   // seconds until the window closes the normal way
    QString screenshot;             // a picture of the window saved just before it closes
    bool help = false;
    bool version = false;
};

// The options of KirvanMonitorP. A malformed command line gives nothing and the reason in `error`.
std::optional<CommandLine> parseCommandLine(const QStringList& arguments, QString& error);

QString commandLineUsage();

} // namespace kirvan
