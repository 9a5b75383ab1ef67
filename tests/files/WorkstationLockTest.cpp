#include "files/WorkstationLock.h"

#include "tests/support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

using testing::TempFolder;

TEST(WorkstationLockTest, OneHolderPerFolderWhicheverPathReachesItUntilReleased)
{
    TempFolder folder;
    ASSERT_TRUE(QDir(folder.path()).mkdir(u"Пост"_s));
    const QString path = folder.file(u"Пост"_s);
    ASSERT_TRUE(QFile::link(path, folder.file(u"ссылка"_s)));

    std::optional<WorkstationLock> first = WorkstationLock::acquire(path);
    ASSERT_TRUE(first);
    for (const QString& other : {path, folder.file(u"ссылка"_s), path + u"/."_s}) {
        WorkstationLock::Refusal refusal{};
        QString failure;
        EXPECT_FALSE(WorkstationLock::acquire(other, &refusal, &failure)) << other.toStdString();
        EXPECT_EQ(refusal, WorkstationLock::Refusal::HeldByAnother);
        EXPECT_EQ(failure, u"Программа уже запущена для папки "_s + other);
    }
    EXPECT_EQ(QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System),
              (QStringList{u"."_s, u".."_s, u".KirvanMonitorP.lock"_s}))
        << "the lock file is all that taking the lock writes";

    first.reset();
    EXPECT_TRUE(WorkstationLock::acquire(folder.file(u"ссылка"_s)));
}

TEST(WorkstationLockTest, AnotherUserWhoCanReadTheFolderCannotHoldTheLock)
{
    TempFolder folder;
    const QByteArray lockFile = QFile::encodeName(folder.file(u".KirvanMonitorP.lock"_s));
    ASSERT_TRUE(WorkstationLock::acquire(folder.path()));
    // Another user cannot open a file of mode 0600 at all; the lock file, being the folder
    // owner's alone, is what keeps them out. One they planted is not used.
    struct stat info {};
    ASSERT_EQ(::stat(lockFile.constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(info.st_uid, ::geteuid());
    ASSERT_EQ(::chown(lockFile.constData(), ::geteuid() + 1, ::getegid()), 0);
    ASSERT_EQ(::chmod(lockFile.constData(), 0644), 0);
    // Root hands it back to the folder's owner and closes it to others again.
    ASSERT_TRUE(WorkstationLock::acquire(folder.path()));
    ASSERT_EQ(::stat(lockFile.constData(), &info), 0);
    EXPECT_EQ(info.st_uid, ::geteuid());
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(WorkstationLockTest, MissingFolderIsUnavailableWithTheReason)
{
    TempFolder folder;
    WorkstationLock::Refusal refusal{};
    QString failure;
    EXPECT_FALSE(WorkstationLock::acquire(folder.file(u"нет"_s), &refusal, &failure));
    EXPECT_EQ(refusal, WorkstationLock::Refusal::Unavailable);
    EXPECT_EQ(failure, u"нет такого файла или папки"_s);
}

} // namespace
} // namespace kirvan
