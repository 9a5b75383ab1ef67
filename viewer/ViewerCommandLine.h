#pragma once

#include "app/CommandLine.h"
#include "platform/MessageLanguage.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace kirvan {

// The folder is the one whose log is shown; without it, the installed workstation's.
struct ViewerCommandLine : CommonOptions {
    // Started by the workstation: standard input is its channel (a line brings the window
    // forward, its end closes it). It grants nothing: the viewer offers everyone the same.
    bool fromWorkstation = false;
};

// The options of kirvan-journal. A malformed command line gives nothing and the reason in `error`.
std::optional<ViewerCommandLine> parseViewerCommandLine(const QStringList& arguments, QString& error);

// The text of --help, also the source of the manual pages.
QString viewerCommandLineUsage(MessageLanguage language = messageLanguage());

} // namespace kirvan
