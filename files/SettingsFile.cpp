#include "files/SettingsFile.h"

#include "files/AtomicFile.h"
#include "files/FileReadError.h"
#include "files/IniStore.h"
#include "files/PathCase.h"
#include "files/SettingsKeys.h"
#include "files/StoredPath.h"

#include <QDir>
#include <QFileInfo>

namespace kirvan {

SettingsFile::SettingsFile(IniStore& store, WorkstationFolder folder)
    : folder_(std::move(folder)), ini_(store, folder_.settingsFile())
{
    const QString path = resolvePathCase(ini_.path());
    if (!QFileInfo::exists(path)) {
        createWithFirstStartValues();
        firstStart_ = true;
        return;
    }
    // A file that is there but cannot be read is not a first start: creating it anew would
    // lose the site's settings.
    const QString failure = store.read(path, [](const IniDocument&) {});
    if (!failure.isEmpty())
        throw FileReadError(path, failure);
    // The broker's password may have been written in by hand, into a file anybody could read.
    restrictToOwner(path);
}

void SettingsFile::createWithFirstStartValues()
{
    // Owner-only from the start: the broker's password goes into it later.
    writeFileAtomically(ini_.path(), {}, FileAccess::OwnerOnly);
    using namespace settings;
    ini_.writeString(sectionSettings, keyComPort, u"1");
    ini_.writeString(sectionSettings, keyTable, u"0");
    ini_.writeString(sectionGeneralPlan, u"0", u"");
    for (const auto address : {u"00", u"01", u"02", u"03"})
        ini_.writeString(sectionAddress, address, u"");
}

QString SettingsFile::localPath(QStringView stored) const
{
    const QString local = localPathFromStored(stored, [this](QChar drive) {
        const QString mapped = ini_.readString(settings::sectionDrives, QStringView(&drive, 1), {});
        return mapped.isEmpty() ? folder_.driveFolder(drive) : mapped;
    });
    // A relative path keeps a workstation folder movable as a whole (the demo complex is one).
    return local.isEmpty() || QDir::isAbsolutePath(local) ? local : folder_.file(local);
}

QString SettingsFile::systemFile(QStringView addressKey) const
{
    return localPath(ini_.readString(settings::sectionAddress, addressKey, {}));
}

QString SettingsFile::addressKey(int address)
{
    return QStringLiteral("%1").arg(address, 2, 10, QLatin1Char('0'));
}

} // namespace kirvan
