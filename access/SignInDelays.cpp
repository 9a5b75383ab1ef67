#include "access/SignInDelays.h"

#include "files/AtomicFile.h"
#include "files/Cp1251.h"
#include "files/RegularFile.h"

#include <QStringList>
#include <algorithm>

namespace kirvan {

std::int64_t SignInDelays::waitAfter(int failures)
{
    if (failures <= 0)
        return 0;
    // From the seventh on the doubling has passed the minute.
    return std::min(longestWaitMs, std::int64_t(1000) << std::min(failures - 1, 6));
}

SignInDelays SignInDelays::load(const QString& path, std::int64_t now)
{
    SignInDelays delays;
    const RegularFile file = RegularFile::read(path);
    if (file.status != RegularFile::Status::Read)
        return delays;
    for (const QString& line : cp1251::decode(file.bytes).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        const qsizetype colon = line.lastIndexOf(u':');
        bool isNumber = false;
        const int count = line.mid(colon + 1).toInt(&isNumber);
        if (colon > 0 && isNumber && count > 0)
            delays.names_.insert(line.left(colon).toLower(), Entry{count, now + waitAfter(count)});
    }
    return delays;
}

void SignInDelays::save(const QString& path) const
{
    QString text;
    for (auto entry = names_.cbegin(); entry != names_.cend(); ++entry)
        text += QStringLiteral("%1:%2\r\n").arg(entry.key()).arg(entry->count);
    writeFileAtomically(path, cp1251::encode(text).bytes, FileAccess::OwnerOnly);
}

std::int64_t SignInDelays::waitMs(const QString& name, std::int64_t now) const
{
    return std::max<std::int64_t>(0, names_.value(name.toLower()).waitUntil - now);
}

void SignInDelays::failed(const QString& name, std::int64_t now)
{
    Entry& entry = names_[name.toLower()];
    ++entry.count;
    entry.waitUntil = now + waitAfter(entry.count);
}

void SignInDelays::succeeded(const QString& name)
{
    names_.remove(name.toLower());
}

} // namespace kirvan
