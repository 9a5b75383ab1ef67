#pragma once

#include "access/AccessLevel.h"
#include "files/FileError.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace kirvan {

// The users of a workstation: name, access level and the hash of the password, never the
// password. The file lies in the workstation folder, Windows-1251 with CR LF, one user a line:
// "NAME:LEVEL:HASH"; lines beginning with "#" and blank lines are notes.
struct User {
    QString name;
    AccessLevel level = AccessLevel::Operator;
    QByteArray hash;
};

// The user file cannot be trusted: unreadable, malformed, or writable by someone else (who could
// then give himself any level). The program does not start on it; the text says why in Russian.
class UserFileRefused : public FileError {
public:
    UserFileRefused(const QString& path, const QString& reason)
        : FileError(QStringLiteral("Файл пользователей %1 не принят: %2").arg(path, reason), path, reason)
    {}
};

class UserList {
public:
    static QString fileName() { return QStringLiteral("KirvanMonitorP.users"); }

    // Nothing when the file does not exist: access is then not restricted. Throws
    // UserFileRefused.
    static std::optional<UserList> load(const QString& path);
    // Replaces the file whole (crash-safe); a new file is made readable and writable by its
    // owner only. Throws FileWriteError.
    void save(const QString& path) const;

    const std::vector<User>& users() const { return users_; }
    // Names are matched without regard to letter case.
    const User* find(const QString& name) const;
    // Adds the user or replaces the one of that name.
    void put(User user);
    bool remove(const QString& name);

    // Why a name cannot be a user's name, in Russian; empty when it can.
    static QString nameProblem(const QString& name);

private:
    std::vector<User> users_;
};

} // namespace kirvan
