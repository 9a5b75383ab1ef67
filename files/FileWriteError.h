#pragma once

#include "files/FileError.h"

namespace kirvan {

// A write or section erase that the file system refused. It ends the operation in progress;
// the file keeps its old content.
class FileWriteError : public FileError {
public:
    explicit FileWriteError(const QString& path, QString reason = {})
        : FileError(QStringLiteral("Unable to write to %1").arg(path), path, std::move(reason))
    {}
};

} // namespace kirvan
