#pragma once

#include <QString>

namespace kirvan {

// The folder the workstation works in: by default the folder of the program file, or the one
// given with --dir. The settings, the composition file, the text log and the mailbox lie here.
class WorkstationFolder {
public:
    explicit WorkstationFolder(QString path);

    const QString& path() const { return path_; }
    QString settingsFile() const { return file(QStringLiteral("KirvanMonitorP.ini")); }
    QString complexFile() const { return file(QStringLiteral("kirvanmonitorp.cnf")); }
    QString logFile() const { return file(QStringLiteral("KirvanMonitorP.txt")); }
    QString mailboxFile() const { return file(QStringLiteral("KirvanMonitorP.cds")); }
    // Default place of a drive letter of paths written on Windows: drives/D for D:.
    QString driveFolder(QChar drive) const { return file(QStringLiteral("drives/") + drive); }

    QString file(const QString& name) const;

private:
    QString path_;
};

} // namespace kirvan
