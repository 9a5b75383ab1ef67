#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace kirvan {

// Replaces the whole content of a file so that a reader, a crash or a full disk finds either the
// old content or the new one, never a mixture: the content goes to a temporary file in the same
// folder, is flushed to the disk and then renamed over the old file. A symbolic link is followed
// and stays a link; the old file's permissions are kept.
// An existing file is only replaced when it could be written in place: a write-protected file,
// or one of another owner without write permission, is refused. Where the folder allows no
// temporary file, a writable file is written in place (and flushed). Temporary files that a
// killed write left beside the file are removed first.
// Throws FileWriteError naming `path` when the file system refuses; the old file is untouched.
// `beforeReplace` runs after the temporary file is complete and before the rename (tests use it
// to stop the process at the worst moment).
// Whatever the process's umask, no file written here is writable by anybody but its owner; a
// file that holds a secret (`FileAccess::OwnerOnly`) is not readable by anybody else either. The
// mode is set on the temporary file before the content goes in.
enum class FileAccess { Shared, OwnerOnly };
void writeFileAtomically(const QString& path, QByteArrayView content, FileAccess access = FileAccess::Shared,
                         const std::function<void()>& beforeReplace = {});

// Takes every right of group and others from an existing file of this user, which may hold a
// secret written into it by hand; a link is not followed. False when the file system refuses.
bool restrictToOwner(const QString& path);

} // namespace kirvan

namespace kirvan {

// Removes the temporary files of writes that never finished (the writer was killed or the power
// failed) from a folder: of `fileName`, or of every file of the folder when it is empty. Only a
// file with the writes' own name pattern, of this user and locked by no writer goes: a temporary
// file still being written, or anybody else's file, is left alone.
void removeWriteLeftovers(const QString& folder, const QString& fileName = {});

} // namespace kirvan
