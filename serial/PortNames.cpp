#include "serial/PortNames.h"

#include <QDir>
#include <QFileInfo>

namespace kirvan {

QString portDevicePath(const QString& workstationFolder, int comNumber)
{
    if (comNumber < 1)
        return {};
    const QString own = QDir(workstationFolder).filePath(QStringLiteral("ports/COM%1").arg(comNumber));
    const QFileInfo entry(own);
    if (entry.exists() || entry.isSymLink())
        return own;
    return QStringLiteral("/dev/ttyS%1").arg(comNumber - 1);
}

} // namespace kirvan
