#pragma once

#include <QString>
#include <stdexcept>

namespace kirvan {

// A write or section erase that the file system refused. It ends the operation in progress;
// the file keeps its old content.
class FileWriteError : public std::runtime_error {
public:
    explicit FileWriteError(const QString& path)
        : std::runtime_error(QStringLiteral("Unable to write to %1").arg(path).toStdString()),
          path_(path)
    {
    }
    const QString& path() const { return path_; }

private:
    QString path_;
};

} // namespace kirvan
