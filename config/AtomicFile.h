#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

namespace kirvan {

// Replaces the whole content of a file so that a reader, a crash or a full disk finds either the
// old content or the new one, never a mixture: the content goes to a temporary file in the same
// folder, is flushed to the disk and then renamed over the old file. A symbolic link is followed
// and stays a link; the old file's permissions are kept.
// Throws FileWriteError naming `path` when the file system refuses; the old file is untouched.
// `beforeReplace` runs after the temporary file is complete and before the rename (tests use it
// to stop the process at the worst moment).
void writeFileAtomically(const QString& path, QByteArrayView content,
                         const std::function<void()>& beforeReplace = {});

} // namespace kirvan
