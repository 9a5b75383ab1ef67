#include "files/WorkstationLock.h"

#include "tests/support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

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
    const QStringList entriesBefore = QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);

    std::optional<WorkstationLock> first = WorkstationLock::acquire(path);
    ASSERT_TRUE(first);
    for (const QString& other : {path, folder.file(u"ссылка"_s), path + u"/."_s}) {
        WorkstationLock::Refusal refusal{};
        QString failure;
        EXPECT_FALSE(WorkstationLock::acquire(other, &refusal, &failure)) << other.toStdString();
        EXPECT_EQ(refusal, WorkstationLock::Refusal::HeldByAnother);
        EXPECT_EQ(failure, u"Программа уже запущена для папки "_s + other);
    }
    EXPECT_EQ(QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System), entriesBefore)
        << "taking the lock writes nothing";

    first.reset();
    EXPECT_TRUE(WorkstationLock::acquire(folder.file(u"ссылка"_s)));
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
