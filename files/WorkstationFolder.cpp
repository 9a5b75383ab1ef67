#include "files/WorkstationFolder.h"

#include "files/PathCase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <sys/stat.h>
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

QString folderTrustProblem(const QString& folder)
{
    struct stat info {};
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0)
        return {};
    if (info.st_uid != ::geteuid() && info.st_uid != 0)
        return QStringLiteral("владелец папки рабочего места %1 — другой пользователь (uid %2), и он может заменить в "
                              "ней любой файл; передайте папку пользователю программы: chown %3 %1")
            .arg(folder)
            .arg(info.st_uid)
            .arg(::geteuid());
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return QStringLiteral("папку рабочего места %1 могут изменять и другие пользователи (права %2): любой из них "
                              "может убрать файл пользователей или заменить настройки; исправьте права: chmod go-w %1")
            .arg(folder, QString::number(info.st_mode & 0777, 8));
    return {};
}

bool createPrivateFolder(const QString& folder)
{
    const QString absolute = QDir(folder).absolutePath();
    if (QFileInfo::exists(absolute))
        return true;
    // The mode given to mkdir is narrowed by the umask but never widened by it.
    return QDir().mkpath(QFileInfo(absolute).path()) && ::mkdir(QFile::encodeName(absolute).constData(), 0755) == 0;
}

} // namespace kirvan
