#include "files/IniStore.h"

#include "files/AtomicFile.h"
#include "files/Cp1251.h"
#include "files/FileWriteError.h"
#include "files/PathCase.h"

#include <utility>

namespace kirvan {

namespace {

// The settings file, four system files and the nine detector files of each: 41, and room.
constexpr qsizetype cachedFiles = 48;

} // namespace

IniStore::IniStore(const Locale& locale, std::function<void()> beforeReplace)
    : locale_(locale), beforeReplace_(std::move(beforeReplace)), cache_(cachedFiles)
{}

QChar IniStore::decimalSeparator() const
{
    return locale_.decimalSeparator();
}

QString IniStore::read(const QString& path, const std::function<void(const IniDocument&)>& reader)
{
    // A path written as the file is named needs no resolution while its content is kept: each
    // event reads a detector's file, and each look at the disk costs.
    {
        std::lock_guard lock(cacheMutex_);
        if (const auto document = cache_.kept(path)) {
            reader(*document);
            return {};
        }
    }
    const QString resolved = resolvePathCase(path);
    std::lock_guard lock(cacheMutex_);
    QString failure;
    if (const auto document = cache_.current(resolved, &failure))
        reader(*document);
    else
        reader(IniDocument());
    return failure;
}

qsizetype IniStore::edit(const QString& path, const std::function<bool(IniDocument&)>& change)
{
    std::lock_guard editLock(editMutex_);
    const QString resolved = resolvePathCase(path);
    std::shared_ptr<const IniDocument> current;
    QString failure;
    {
        std::lock_guard lock(cacheMutex_);
        current = cache_.current(resolved, &failure);
    }
    // Writing over a file whose content could not be read would destroy it.
    if (!current)
        throw FileWriteError(path, failure);
    IniDocument changed = *current;
    if (!change(changed))
        return 0;
    const cp1251::Encoded encoded = cp1251::encode(changed.serialize());
    try {
        writeFileAtomically(resolved, encoded.bytes, FileAccess::Shared, beforeReplace_);
    } catch (const FileWriteError& refused) {
        throw FileWriteError(path, refused.reason());
    }
    std::lock_guard lock(cacheMutex_);
    cache_.forget(resolved);
    return encoded.unmappable;
}

} // namespace kirvan
