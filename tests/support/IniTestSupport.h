#pragma once

#include "files/Cp1251.h"
#include "files/IniFile.h"
#include "files/IniStore.h"
#include "tests/support/FixedLocale.h"
#include "tests/support/TempFolder.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace kirvan::testing {

// Windows-1251 bytes of a text, line ends exactly as written.
inline QByteArray bytes1251(const QString& text)
{
    return cp1251::encode(text).bytes;
}

// Identifies the file at `path`; a write replaces the file and so changes it.
inline ino_t inodeOf(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

// One INI file in a fresh folder, reached through a store with a comma as decimal separator.
class IniFileTest : public ::testing::Test {
protected:
    QString path() const { return folder.file(QStringLiteral("test.ini")); }
    void writeRaw(const QString& text) const { folder.write(QStringLiteral("test.ini"), bytes1251(text)); }
    QByteArray readRaw() const { return folder.read(QStringLiteral("test.ini")); }

    TempFolder folder;
    FixedLocale locale{u','};
    IniStore store{locale};
    IniFile file{store, path()};
};

} // namespace kirvan::testing
