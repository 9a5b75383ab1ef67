#include "files/WorkstationFolder.h"

#include "files/PathCase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <unistd.h>

namespace kirvan {

WorkstationFolder::WorkstationFolder(QString path, QString sharedData)
    : path_(QDir(path).absolutePath()), sharedData_(sharedData.isEmpty() ? QString() : QDir(sharedData).absolutePath())
{}

QString WorkstationFolder::file(const QString& name) const
{
    return QDir(path_).filePath(name);
}

QString WorkstationFolder::resource(const QString& name) const
{
    const QString own = resolvePathCase(file(name));
    if (sharedData_.isEmpty() || QFileInfo::exists(own))
        return own;
    return resolvePathCase(QDir(sharedData_).filePath(name));
}

QString defaultWorkstationFolder(const QString& programFolder, const QStringList& systemProgramFolders,
                                 const QString& userDataFolder,
                                 const std::function<bool(const QString& folder)>& writable)
{
    const QString program = QDir(programFolder).canonicalPath();
    const bool installed = std::any_of(
        systemProgramFolders.begin(), systemProgramFolders.end(),
        [&](const QString& system) { return !program.isEmpty() && program == QDir(system).canonicalPath(); });
    return installed || !writable(programFolder) ? QDir(userDataFolder).absolutePath()
                                                 : QDir(programFolder).absolutePath();
}

bool folderWritable(const QString& folder)
{
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

} // namespace kirvan
