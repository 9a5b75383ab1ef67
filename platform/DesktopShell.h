#pragma once

#include <QString>
#include <QStringList>

namespace kirvan {

// The desktop's own ways of showing documents and starting programs (the log archive, the help
// page, the picture editor). Both operations hand the request over and return at once: nothing
// waits for the program started, and its outcome is not examined.
class DesktopShell {
public:
    virtual ~DesktopShell() = default;

    // Opens the document with the program the desktop associates with its type, its window
    // shown restored. False when no program could be asked to open it.
    virtual bool openDocument(const QString& path) = 0;

    // Starts a program by name (looked up on the search path) with the given arguments.
    virtual void startProgram(const QString& program, const QStringList& arguments) = 0;
};

} // namespace kirvan
