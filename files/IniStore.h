#pragma once

#include "files/DocumentCache.h"
#include "files/IniDocument.h"
#include "platform/Locale.h"

#include <QChar>
#include <QString>
#include <functional>
#include <mutex>

namespace kirvan {

// The one way of the process to its INI files. Every operation works on the file's current
// content, also when another program changed it since the last operation; parsed files are
// kept only as long as they provably are that content (see DocumentCache). Paths are matched
// without regard to letter case. Safe to use from several threads.
class IniStore {
public:
    // `beforeReplace` runs in every write between the new content reaching the disk and its
    // taking the file's place (tests stop the process there).
    explicit IniStore(const Locale& locale, std::function<void()> beforeReplace = {});

    // The separator that real values are written with.
    QChar decimalSeparator() const;

    // Calls `reader` with the file's current content; a missing or unreadable file is empty.
    // `reader` must not call back into the store. Returns why a file that is there could not be
    // read (not a regular file, too large, refused), or an empty text.
    QString read(const QString& path, const std::function<void(const IniDocument&)>& reader);

    // Applies `change` to the file's current content and, when it reports a change, replaces
    // the file crash-safely. Nothing is written (nor created) when nothing changed. Returns how
    // many characters Windows-1251 lacks in the new content; each was written as "?".
    // Throws FileWriteError naming `path` when the file cannot be read or written.
    qsizetype edit(const QString& path, const std::function<bool(IniDocument&)>& change);

private:
    const Locale& locale_;
    const std::function<void()> beforeReplace_;
    std::mutex cacheMutex_;
    DocumentCache cache_;
    // Held through a whole read-change-write, so that two writers of this process cannot lose
    // each other's change; readers only wait for the cache.
    std::mutex editMutex_;
};

} // namespace kirvan
