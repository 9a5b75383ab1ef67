#pragma once

#include <QByteArray>
#include <QString>
#include <sys/stat.h>

namespace kirvan {

// Configuration files come from installers and other programs: only a regular file of a sensible
// size is read. A FIFO, a device or a folder under a configuration name is refused at once
// instead of blocking the program or filling its memory.
struct RegularFile {
    enum class Status { Read, Missing, Failed };
    // The largest configuration file read; the largest complex needs a few megabytes.
    static constexpr qint64 maxBytes = 64 * 1024 * 1024;
    // No setting or description comes near it; a longer line means the file is not a text at all.
    static constexpr qsizetype maxLineBytes = 64 * 1024;

    Status status = Status::Failed;
    QByteArray bytes;
    struct stat info {}; // of the file read
    bool symbolicLink = false; // the path itself is a link
    QString failure; // why it could not be read, in Russian

    // Reads the whole file without waiting for anything. A missing file (or folder on the way) is
    // Missing; anything else that cannot be read is Failed with the reason.
    static RegularFile read(const QString& path, qint64 limit = maxBytes);
};

} // namespace kirvan
