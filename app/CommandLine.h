#pragma once

#include "platform/MessageLanguage.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace kirvan {

// The options of every program with a window: --dir FOLDER, --help, --version.
struct CommonOptions {
    QString folder; // the workstation folder; empty: the program's default
    bool help = false;
    bool version = false;
};
// Takes the option at `i` (and its value, moving `i` on) when it is one of the common ones.
// False when it is not, or when it is malformed: then with the reason in `error`.
bool takeCommonOption(const QStringList& arguments, qsizetype& i, CommonOptions& options, QString& error);

// The workstation's folder, when not given, is chosen by defaultWorkstationFolder.
struct CommandLine : CommonOptions {
    std::optional<int> comPort; // opened by the start-up instead of the stored port, and stored as the menu item COMn does
    std::optional<int> quitAfter; // seconds until the window closes the normal way
    QString screenshot; // a picture of the window saved just before it closes
    bool fullScreen = false; // the main window over the whole screen (kiosk operation)
};

// The options of KirvanMonitorP. A malformed command line gives nothing and the reason in `error`.
std::optional<CommandLine> parseCommandLine(const QStringList& arguments, QString& error);

// The text of --help, also the source of the manual pages.
QString commandLineUsage(MessageLanguage language = messageLanguage());

} // namespace kirvan
