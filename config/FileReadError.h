#pragma once

#include <QString>
#include <stdexcept>

namespace kirvan {

// A file that is there but cannot be read (no permission, a folder, not a regular file, too
// large). Where the program cannot work without the file, it ends the start-up.
class FileReadError : public std::runtime_error {
public:
    FileReadError(const QString& path, const QString& reason)
        : std::runtime_error(QStringLiteral("Не удаётся прочитать файл %1: %2").arg(path, reason).toStdString()),
          path_(path),
          reason_(reason)
    {
    }
    const QString& path() const { return path_; }
    const QString& reason() const { return reason_; }

private:
    QString path_;
    QString reason_;
};

} // namespace kirvan
