#include "files/StoredPath.h"

namespace kirvan {

namespace {
bool isDriveLetter(QChar ch)
{
    return (ch >= QLatin1Char('A') && ch <= QLatin1Char('Z')) || (ch >= QLatin1Char('a') && ch <= QLatin1Char('z'));
}
} // namespace

QString localPathFromStored(QStringView stored, const std::function<QString(QChar)>& driveFolder)
{
    QString path = stored.toString();
    path.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (path.size() >= 2 && isDriveLetter(path[0]) && path[1] == QLatin1Char(':')) {
        QString folder = driveFolder(path[0].toUpper());
        QString rest = path.mid(2);
        if (folder.endsWith(QLatin1Char('/')))
            folder.chop(1);
        if (!rest.startsWith(QLatin1Char('/')))
            rest.prepend(QLatin1Char('/'));
        path = folder + rest;
    }
    return path;
}

} // namespace kirvan
