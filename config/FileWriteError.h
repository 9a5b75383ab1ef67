#pragma once

#include <QString>
#include <stdexcept>

namespace kirvan {

// A write or section erase that the file system refused. It ends the operation in progress;
// the file keeps its old content.
class FileWriteError : public std::runtime_error {
public:
    // `reason` says why, in the system's words, for messages that explain more than the error.
    explicit FileWriteError(const QString& path, QString reason = {})
        : std::runtime_error(QStringLiteral("Unable to write to %1").arg(path).toStdString()),
          path_(path),
          reason_(std::move(reason))
    {
    }
    const QString& path() const { return path_; }
    const QString& reason() const { return reason_; }

private:
    QString path_;
    QString reason_;
};

} // namespace kirvan
