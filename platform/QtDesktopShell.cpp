#include "platform/QtDesktopShell.h"

#include <QDesktopServices>
#include <QProcess>
#include <QUrl>

namespace kirvan {

// The desktop decides how the document's window appears; a newly started viewer opens it in its
// normal (restored) state, which is what the workstation asks for.
bool QtDesktopShell::openDocument(const QString& path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void QtDesktopShell::startProgram(const QString& program, const QStringList& arguments)
{
    QProcess::startDetached(program, arguments);
}

} // namespace kirvan
