#pragma once

#include "files/FileError.h"

namespace kirvan {

// A file that is there but cannot be read (no permission, a folder, not a regular file, too
// large). Where the program cannot work without the file, it ends the start-up.
class FileReadError : public FileError {
public:
    FileReadError(const QString& path, const QString& reason)
        : FileError(QStringLiteral("Не удаётся прочитать файл %1: %2").arg(path, reason), path, reason)
    {}
};

} // namespace kirvan
