#include "files/Cp1251.h"
#include "journal/JournalLog.h"
#include "platform/SystemError.h"

#include "tests/support/FileSizeLimit.h"
#include "tests/support/RecordingDesktopShell.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VirtualMessageLoop.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <gtest/gtest.h>
#include <optional>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

using testing::crlf1251;
using testing::TempFolder;

// The log cannot be written for reasons root cannot override: its folder is missing, its name is
// taken by a folder, or the disk is full (a file size limit on this process).
class LogOutageTest : public ::testing::Test {
protected:
    LogOutageTest()
    {
        log.setOnWriteFailure([this](const QString& message) { failures.push_back(message); });
        log.setOnWriteRecovered([this](const QString& message) { recoveries.push_back(message); });
    }

    QByteArray logBytes() const { return folder.read(u"archive/KirvanMonitorP.txt"_s); }
    void createFolder() const { ASSERT_TRUE(QDir(folder.path()).mkdir(u"archive"_s)); }

    TempFolder folder;
    testing::VirtualMessageLoop loop;
    QString logPath = folder.file(u"archive/KirvanMonitorP.txt"_s);
    JournalLog log{logPath, loop};
    std::vector<QString> failures;
    std::vector<QString> recoveries;
};

TEST_F(LogOutageTest, MissingFolderTellsOnceKeepsLinesAndWritesThemInOrderWhenItReturns)
{
    log.logEvent(u"первая"_s);
    log.logEvent(u"вторая"_s);
    loop.advance(3 * LogFile::RetryIntervalMs);
    log.logEvent(u"третья"_s);

    ASSERT_EQ(failures.size(), 1u) << "once per outage, not per line or per retry";
    EXPECT_TRUE(failures[0].contains(logPath));
    EXPECT_TRUE(failures[0].contains(systemErrorText(ENOENT)));
    EXPECT_TRUE(failures[0].contains(u"код ошибки 2"_s));
    EXPECT_TRUE(recoveries.empty());
    EXPECT_EQ(log.historyList(), QStringList({u"первая"_s, u"вторая"_s, u"третья"_s}))
        << "the history line shows every line at once";

    createFolder();
    loop.advance(LogFile::RetryIntervalMs);
    EXPECT_EQ(logBytes(), crlf1251(u"первая\nвторая\nтретья\n"_s));
    ASSERT_EQ(recoveries.size(), 1u);
    EXPECT_TRUE(recoveries[0].contains(logPath));
    EXPECT_TRUE(recoveries[0].contains(u"3"_s));

    loop.advance(10 * LogFile::RetryIntervalMs);
    log.logEvent(u"четвёртая"_s);
    EXPECT_EQ(logBytes(), crlf1251(u"первая\nвторая\nтретья\nчетвёртая\n"_s)) << "nothing twice";
    EXPECT_EQ(failures.size(), 1u);
    EXPECT_EQ(recoveries.size(), 1u);
}

TEST_F(LogOutageTest, PercentSignsInThePathStayAsTheyAre)
{
    JournalLog odd{folder.file(u"%2 %3/KirvanMonitorP.txt"_s), loop};
    QString told;
    odd.setOnWriteFailure([&](const QString& message) { told = message; });
    odd.logEvent(u"строка"_s);
    EXPECT_TRUE(told.contains(folder.file(u"%2 %3/KirvanMonitorP.txt"_s))) << told.toStdString();
    EXPECT_TRUE(told.contains(u"код ошибки 2"_s));
    // Lets the last attempt at the end succeed instead of reporting to standard error.
    ASSERT_TRUE(QDir(folder.path()).mkdir(u"%2 %3"_s));
}

TEST_F(LogOutageTest, RetryTimerRunsOnlyWhileLinesWait)
{
    createFolder();
    log.logEvent(u"строка"_s);
    ASSERT_TRUE(QFile::remove(logPath));
    loop.advance(10 * LogFile::RetryIntervalMs);
    EXPECT_FALSE(QFile::exists(logPath)) << "a written line is not written again";
}

TEST_F(LogOutageTest, NextLineWritesTheWaitingLinesFirst)
{
    createFolder();
    ASSERT_TRUE(QDir(folder.path()).mkdir(u"archive/KirvanMonitorP.txt"_s));
    log.logEvent(u"а"_s);
    log.logEvent(u"б"_s);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_TRUE(failures[0].contains(systemErrorText(EISDIR)));

    ASSERT_TRUE(QDir(folder.path()).rmdir(u"archive/KirvanMonitorP.txt"_s));
    log.logEvent(u"в"_s);
    EXPECT_EQ(logBytes(), crlf1251(u"а\nб\nв\n"_s));
    EXPECT_EQ(recoveries.size(), 1u);
}

TEST_F(LogOutageTest, FullDiskLeavesNoHalfLineAndWritesEachLineOnceAfterwards)
{
    createFolder();
    folder.write(u"archive/KirvanMonitorP.txt"_s, crlf1251(u"прежняя\n"_s));
    const QByteArray before = logBytes();
    {
        testing::FileSizeLimit limit(static_cast<rlim_t>(before.size() + 10));
        log.logEvent(u"строка длиннее десяти байтов"_s);
        EXPECT_EQ(logBytes(), before) << "the part that fitted was taken back";
        log.logEvent(u"ещё одна"_s);
        EXPECT_EQ(logBytes(), before);
        loop.advance(LogFile::RetryIntervalMs);
        EXPECT_EQ(logBytes(), before);
    }
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_TRUE(failures[0].contains(systemErrorText(EFBIG)));
    loop.advance(LogFile::RetryIntervalMs);
    EXPECT_EQ(logBytes(), crlf1251(u"прежняя\nстрока длиннее десяти байтов\nещё одна\n"_s));
    EXPECT_EQ(recoveries.size(), 1u);
}

TEST_F(LogOutageTest, EachOutageIsToldAndItsEndAnnounced)
{
    log.logEvent(u"1"_s);
    createFolder();
    log.logEvent(u"2"_s);
    ASSERT_TRUE(QDir(folder.file(u"archive"_s)).removeRecursively());
    log.logEvent(u"3"_s);
    createFolder();
    loop.advance(LogFile::RetryIntervalMs);
    EXPECT_EQ(failures.size(), 2u);
    EXPECT_EQ(recoveries.size(), 2u);
    EXPECT_EQ(logBytes(), crlf1251(u"3\n"_s)) << "lines 1 and 2 went with the removed folder";
}

TEST_F(LogOutageTest, LineLoggedWhileTheOperatorIsBeingToldKeepsItsPlace)
{
    // The window shows the failure in a message box whose own loop lets events through, so a
    // line may be logged from inside the notification.
    log.setOnWriteFailure([this](const QString& message) {
        failures.push_back(message);
        log.logEvent(u"во время сообщения"_s);
    });
    log.logEvent(u"до сообщения"_s);
    EXPECT_EQ(failures.size(), 1u);
    createFolder();
    log.logEvent(u"после"_s);
    EXPECT_EQ(logBytes(), crlf1251(u"до сообщения\nво время сообщения\nпосле\n"_s));
    EXPECT_EQ(log.historyList(), QStringList({u"до сообщения"_s, u"во время сообщения"_s, u"после"_s}));
}

TEST_F(LogOutageTest, WithoutAMessageLoopTheNextLineRetries)
{
    std::optional<JournalLog> plain(std::in_place, logPath);
    plain->logEvent(u"первая"_s);
    createFolder();
    plain->logEvent(u"вторая"_s);
    EXPECT_EQ(logBytes(), crlf1251(u"первая\nвторая\n"_s));
}

TEST_F(LogOutageTest, LinesStillWaitingAtTheEndGetALastAttempt)
{
    std::optional<JournalLog> ending(std::in_place, logPath, loop);
    ending->logEvent(u"  КОМПЛЕКС КИРВАН ВЫКЛЮЧЕН"_s);
    createFolder();
    ending.reset();
    EXPECT_EQ(logBytes(), crlf1251(u"  КОМПЛЕКС КИРВАН ВЫКЛЮЧЕН\n"_s));
}

TEST_F(LogOutageTest, LongOutageKeepsTheFirstLinesAndLogsHowManyWereDropped)
{
    // The bound of a real run (100,000 lines) costs minutes here; the counting is the same.
    const qsizetype limit = 1000;
    const qsizetype extra = 5;
    log.logFile().setWaitingLimit(limit);
    for (qsizetype n = 0; n < limit + extra; ++n)
        log.logEvent(QString::number(n));
    loop.advance(3 * LogFile::RetryIntervalMs);

    createFolder();
    log.logEvent(u"после сбоя"_s);
    const QStringList lines = cp1251::decode(logBytes()).split(u"\r\n"_s);
    ASSERT_EQ(lines.size(), limit + 3) << "kept lines, the count, the new line, end";
    EXPECT_EQ(lines[0], u"0"_s);
    EXPECT_EQ(lines[limit - 1], QString::number(limit - 1));
    EXPECT_EQ(lines[limit], u"  ЖУРНАЛ: НЕ ЗАПИСАНО СТРОК ЗА ВРЕМЯ СБОЯ ФАЙЛА: 5"_s);
    EXPECT_EQ(lines[limit + 1], u"после сбоя"_s);
    ASSERT_EQ(recoveries.size(), 1u);
    EXPECT_TRUE(recoveries[0].contains(u"Не записано строк"_s)) << recoveries[0].toStdString();
}

TEST_F(LogOutageTest, ArchiveViewGetsTheWaitingLinesFirst)
{
    log.logEvent(u"ждёт"_s);
    createFolder();
    testing::RecordingDesktopShell shell;
    log.openJournal(shell);
    EXPECT_EQ(logBytes(), crlf1251(u"ждёт\n"_s));
    EXPECT_EQ(shell.opened, std::vector<QString>({logPath}));
}

} // namespace
} // namespace kirvan
