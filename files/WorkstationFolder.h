#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace kirvan {

// The folder the workstation works in: the one given with --dir, or defaultWorkstationFolder.
// The settings, the composition file, the text log and the mailbox lie here. Files the program
// brings along (the help page, the sounds) are looked for here first and then in the installed
// program's shared data folder, so a site can replace them in its own folder.
class WorkstationFolder {
public:
    explicit WorkstationFolder(QString path, QString sharedData = {});

    const QString& path() const { return path_; }
    // The installed program's shared data folder; empty when the program runs from its build.
    const QString& sharedData() const { return sharedData_; }
    QString settingsFile() const { return file(QStringLiteral("KirvanMonitorP.ini")); }
    QString complexFile() const { return file(QStringLiteral("kirvanmonitorp.cnf")); }
    QString logFile() const { return file(QStringLiteral("KirvanMonitorP.txt")); }
    QString mailboxFile() const { return file(QStringLiteral("KirvanMonitorP.cds")); }
    // The active alarms and their acknowledgements, kept for the next start.
    QString alarmStateFile() const { return file(QStringLiteral("KirvanMonitorP.alarms")); }
    // How far the broker of remote monitoring has acknowledged the text log.
    QString remoteCursorFile() const { return file(QStringLiteral("KirvanMonitorP.mqtt")); }
    QString receiverCursorFile() const { return file(QStringLiteral("KirvanMonitorP.pcn")); }
    // Default place of a drive letter of paths written on Windows: drives/D for D:.
    QString driveFolder(QChar drive) const { return file(QStringLiteral("drives/") + drive); }

    QString file(const QString& name) const;
    // A file the program brings along: the folder's own when it has one (names matched without
    // regard to case), otherwise the shared data folder's; without that folder, the own path.
    QString resource(const QString& name) const;

private:
    QString path_;
    QString sharedData_;
};

// Where the workstation works when no folder is given. A program kept in a folder of its own, as
// on Windows, works in that folder. An installed program cannot: a system's program folder
// (`systemProgramFolders`, e.g. /usr/bin) is shared by every user, and a folder the user cannot
// write holds no settings or log, so it works in `userDataFolder` instead.
QString defaultWorkstationFolder(const QString& programFolder, const QStringList& systemProgramFolders,
                                 const QString& userDataFolder,
                                 const std::function<bool(const QString& folder)>& writable);

// The user may create and rename files in the folder.
bool folderWritable(const QString& folder);

// Why the workstation cannot trust its folder, in Russian with the command that puts it right;
// empty when it can. Whoever else may create or rename files in it could take the user file away
// (and with it every restriction) or replace the settings.
QString folderTrustProblem(const QString& folder);

// Creates a missing workstation folder (and those above it) writable by its owner only.
bool createPrivateFolder(const QString& folder);

} // namespace kirvan
