#include "complex/DialogFolders.h"

#include "files/PathCase.h"
#include "files/SettingsFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace kirvan::dialogfolders {

namespace {

QString folderOf(const QString& file)
{
    return file.isEmpty() ? QString() : QFileInfo(file).absolutePath();
}

QString firstThere(const QStringList& candidates, const QString& otherwise)
{
    for (const QString& folder : candidates) {
        if (folder.isEmpty())
            continue;
        const QString found = resolvePathCase(folder);
        if (QFileInfo(found).isDir())
            return found;
    }
    return otherwise;
}

} // namespace

QString systemFiles(const SettingsFile& settings)
{
    QStringList candidates;
    for (int address = 0; address <= 3; ++address)
        candidates << folderOf(settings.systemFile(SettingsFile::addressKey(address)));
    const QDir workstation(settings.folder().path());
    candidates << workstation.filePath(QStringLiteral("Объекты")) << workstation.filePath(QStringLiteral("objects"));
    return firstThere(candidates, workstation.path());
}

QString plans(const SettingsFile& settings, const QString& shownPlan, const QString& systemFile)
{
    const QString beside = folderOf(systemFile);
    QStringList candidates{folderOf(shownPlan)};
    if (!beside.isEmpty())
        candidates << QDir(beside).filePath(QStringLiteral("Планы")) << QDir(beside).filePath(QStringLiteral("plans"))
                   << beside;
    return firstThere(candidates, settings.folder().path());
}

} // namespace kirvan::dialogfolders
