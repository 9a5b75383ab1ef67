#pragma once

#include "platform/DesktopShell.h"

namespace kirvan {

// The desktop shell of the running program. Needs the QGuiApplication, as the desktop's file
// associations are reached through it.
class QtDesktopShell final : public DesktopShell {
public:
    bool openDocument(const QString& path) override;
    void startProgram(const QString& program, const QStringList& arguments) override;
};

} // namespace kirvan
