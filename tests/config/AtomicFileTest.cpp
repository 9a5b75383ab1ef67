#include "config/AtomicFile.h"

#include "config/FileWriteError.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

using testing::FileSizeLimit;
using testing::TempFolder;

QStringList folderEntries(const TempFolder& folder)
{
    return QDir(folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

TEST(AtomicFileTest, CreatesAndReplacesContent)
{
    TempFolder folder;
    writeFileAtomically(folder.file(u"a.ini"_s), "first");
    EXPECT_EQ(folder.read(u"a.ini"_s), "first");
    writeFileAtomically(folder.file(u"a.ini"_s), "second, longer");
    EXPECT_EQ(folder.read(u"a.ini"_s), "second, longer");
    EXPECT_EQ(folderEntries(folder), QStringList{u"a.ini"_s}) << "no temporary file is left";
}

TEST(AtomicFileTest, KeepsPermissionsOfTheOldFile)
{
    TempFolder folder;
    folder.write(u"a.ini"_s, "old");
    const QByteArray path = QFile::encodeName(folder.file(u"a.ini"_s));
    ::chmod(path.constData(), 0640);
    writeFileAtomically(folder.file(u"a.ini"_s), "new");
    struct stat info {};
    ASSERT_EQ(::stat(path.constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(AtomicFileTest, WritingThroughALinkKeepsTheLink)
{
    TempFolder folder;
    QDir(folder.path()).mkdir(u"real"_s);
    folder.write(u"real/settings.ini"_s, "old");
    QFile::link(folder.file(u"real/settings.ini"_s), folder.file(u"settings.ini"_s));
    writeFileAtomically(folder.file(u"settings.ini"_s), "new");
    EXPECT_TRUE(QFileInfo(folder.file(u"settings.ini"_s)).isSymLink());
    EXPECT_EQ(folder.read(u"real/settings.ini"_s), "new");
}

TEST(AtomicFileTest, ProcessDyingBeforeTheRenameLeavesTheOldFileIntact)
{
    TempFolder folder;
    const QByteArray old = "[Настройки]\r\nCOM-порт=2\r\n";
    folder.write(u"a.ini"_s, old);
    EXPECT_EXIT(writeFileAtomically(folder.file(u"a.ini"_s), "half", [] { ::_exit(7); }),
                ::testing::ExitedWithCode(7), "");
    EXPECT_EQ(folder.read(u"a.ini"_s), old);
}

TEST(AtomicFileTest, RefusedWriteNamesThePathAndLeavesNothingBehind)
{
    TempFolder folder;
    const QString path = folder.file(u"missing-folder/a.ini"_s);
    try {
        writeFileAtomically(path, "x");
        FAIL() << "the write cannot succeed";
    } catch (const FileWriteError& error) {
        EXPECT_EQ(QString::fromStdString(error.what()), u"Unable to write to "_s + path);
        EXPECT_EQ(error.path(), path);
    }
}

TEST(AtomicFileTest, FullDiskKeepsTheOldFileAndRemovesTheTemporaryOne)
{
    TempFolder folder;
    folder.write(u"a.ini"_s, "old content");
    {
        FileSizeLimit limit(16);
        EXPECT_THROW(writeFileAtomically(folder.file(u"a.ini"_s), QByteArray(4096, 'x')), FileWriteError);
    }
    EXPECT_EQ(folder.read(u"a.ini"_s), "old content");
    EXPECT_EQ(folderEntries(folder), QStringList{u"a.ini"_s});
}

} // namespace
} // namespace kirvan
