#include "config/DetectorFile.h"

#include <QFileInfo>

namespace kirvan {

QString detectorFilePath(const QString& systemFile, QChar deviceChar)
{
    const QFileInfo info(systemFile);
    const QString suffix = info.suffix();
    const QString stem = suffix.isEmpty() && !systemFile.endsWith(QLatin1Char('.'))
                             ? systemFile
                             : systemFile.left(systemFile.size() - suffix.size() - 1);
    return stem + QStringLiteral(".tb") + deviceChar;
}

} // namespace kirvan
