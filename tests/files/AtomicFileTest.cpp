#include "files/AtomicFile.h"

#include "files/FileWriteError.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/file.h>
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

// The mode follows what the file holds, not the umask: nobody else ever writes, and a secret is
// read by its owner only; an old file keeps its mode within that.
TEST(AtomicFileTest, ModeWhateverTheUmask)
{
    struct Case {
        mode_t umask;
        int oldMode; // -1: a new file
        FileAccess access;
        mode_t mode;
    } const cases[] = {{022, -1, FileAccess::Shared, 0644},     {002, -1, FileAccess::Shared, 0644},
                       {077, -1, FileAccess::Shared, 0600},     {000, -1, FileAccess::OwnerOnly, 0600},
                       {022, 0640, FileAccess::Shared, 0640},   {022, 0666, FileAccess::Shared, 0644},
                       {022, 0644, FileAccess::OwnerOnly, 0600}};
    const mode_t umaskBefore = ::umask(0);
    for (const Case& c : cases) {
        TempFolder folder;
        const QByteArray path = QFile::encodeName(folder.file(u"a.ini"_s));
        if (c.oldMode >= 0) {
            folder.write(u"a.ini"_s, "old");
            ::chmod(path.constData(), mode_t(c.oldMode));
        }
        ::umask(c.umask);
        writeFileAtomically(folder.file(u"a.ini"_s), "new", c.access);
        struct stat info {};
        ASSERT_EQ(::stat(path.constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, c.mode) << std::oct << "umask " << c.umask << ", old " << c.oldMode;
    }
    ::umask(umaskBefore);
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
    EXPECT_EXIT(writeFileAtomically(folder.file(u"a.ini"_s), "half", FileAccess::Shared, [] { ::_exit(7); }),
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

TEST(AtomicFileTest, LeftoverOfAKilledWriteGoesWithTheNextWrite)
{
    TempFolder folder;
    folder.write(u"a.ini"_s, "old");
    EXPECT_EXIT(writeFileAtomically(folder.file(u"a.ini"_s), "new", FileAccess::Shared, [] { ::_exit(7); }),
                ::testing::ExitedWithCode(7), "");
    ASSERT_EQ(folderEntries(folder).size(), 2u) << "the killed write left its temporary file";
    writeFileAtomically(folder.file(u"a.ini"_s), "newer");
    EXPECT_EQ(folderEntries(folder), QStringList{u"a.ini"_s});
    EXPECT_EQ(folder.read(u"a.ini"_s), "newer");
}

TEST(AtomicFileTest, FolderCleanUpRemovesOnlyLeftoversOfItsFilesAndNotWritesInProgress)
{
    TempFolder folder;
    folder.write(u"a.ini"_s, "a");
    folder.write(u".a.ini.kirvan-write-Xy12Zq"_s, "killed"); // leftover of a.ini
    folder.write(u".b.ini.kirvan-write-Xy12Zq"_s, "no b.ini"); // no such file: not ours
    folder.write(u".a.ini.backup"_s, "an administrator's"); // named like a temporary file once
    folder.write(u".a.ini.Xy12Zq"_s, "someone else's");
    folder.write(u".a.ini.kirvan-write-Xy12Z"_s, "one short");
    folder.write(u".a.ini.kirvan-write-Ab34Cd"_s, "in progress"); // locked by its writer
    folder.write(u".a.ini.kirvan-write-Ef56Gh"_s, "another user's");
    ASSERT_EQ(::chown(QFile::encodeName(folder.file(u".a.ini.kirvan-write-Ef56Gh"_s)).constData(), ::geteuid() + 1,
                      ::getegid()),
              0);
    const int writer = ::open(QFile::encodeName(folder.file(u".a.ini.kirvan-write-Ab34Cd"_s)).constData(), O_RDONLY);
    ASSERT_EQ(::flock(writer, LOCK_EX), 0);
    removeWriteLeftovers(folder.path());
    ::close(writer);
    EXPECT_EQ(folderEntries(folder), (QStringList{u".a.ini.backup"_s, u".a.ini.kirvan-write-Ab34Cd"_s,
                                                  u".a.ini.kirvan-write-Ef56Gh"_s, u".a.ini.kirvan-write-Xy12Z"_s,
                                                  u".a.ini.Xy12Zq"_s, u".b.ini.kirvan-write-Xy12Zq"_s, u"a.ini"_s}));
}

// Protection as an ordinary user meets it (tests run as root, which permissions never stop):
// the write runs in a child process as "nobody", which exits 0 when the outcome is the expected one.
struct ProtectionCase {
    const char* name;
    mode_t folderMode;
    mode_t fileMode;
    bool refused;
};

class AtomicFileProtectionTest : public ::testing::TestWithParam<ProtectionCase> {};

TEST_P(AtomicFileProtectionTest, FileOwnPermissionsDecide)
{
    const passwd* nobody = ::getpwnam("nobody");
    ASSERT_NE(nobody, nullptr);
    const ProtectionCase& c = GetParam();
    TempFolder folder;
    folder.write(u"a.ini"_s, "old");
    const QByteArray file = QFile::encodeName(folder.file(u"a.ini"_s));
    ::chmod(file.constData(), c.fileMode);
    ::chmod(QFile::encodeName(folder.path()).constData(), c.folderMode);
    EXPECT_EXIT(
        {
            if (::setgid(nobody->pw_gid) != 0 || ::setuid(nobody->pw_uid) != 0)
                ::_exit(3);
            bool refused = false;
            try {
                writeFileAtomically(folder.file(u"a.ini"_s), "new");
            } catch (const FileWriteError& error) {
                refused = error.reason() == u"нет доступа"_s;
            }
            ::_exit(refused == c.refused ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    ::chmod(QFile::encodeName(folder.path()).constData(), 0700);
    EXPECT_EQ(folder.read(u"a.ini"_s), c.refused ? "old" : "new");
    struct stat info {};
    ASSERT_EQ(::stat(file.constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, c.fileMode) << "mode kept";
    EXPECT_EQ(info.st_uid, 0u) << "owner kept";
    EXPECT_EQ(folderEntries(folder), QStringList{u"a.ini"_s});
}

INSTANTIATE_TEST_SUITE_P(
    AsAnotherUser, AtomicFileProtectionTest,
    ::testing::Values(ProtectionCase{"WriteProtectedFileInAnOpenFolder", 0777, 0444, true},
                      ProtectionCase{"OtherOwnersFileInAnOpenFolder", 0777, 0644, true},
                      ProtectionCase{"WritableFileInAClosedFolderIsWrittenInPlace", 0755, 0666, false}),
    [](const ::testing::TestParamInfo<ProtectionCase>& tested) { return std::string(tested.param.name); });

} // namespace
} // namespace kirvan
