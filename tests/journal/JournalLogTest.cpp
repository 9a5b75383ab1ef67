#include "journal/JournalLog.h"

#include "files/Cp1251.h"
#include "tests/support/RecordingDesktopShell.h"
#include "tests/support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

using testing::crlf1251;
using testing::TempFolder;

class JournalLogTest : public ::testing::Test {
protected:
    QByteArray logBytes() const { return folder.read(u"KirvanMonitorP.txt"_s); }

    TempFolder folder;
    QString logPath = folder.file(u"KirvanMonitorP.txt"_s);
    JournalLog log{logPath};
};

TEST_F(JournalLogTest, WorkedExampleAppendsTheLinesUnchangedWithCrLf)
{
    log.logEvent(u"08.12.2023 9:15:02  КОМПЛЕКС КИРВАН ВКЛЮЧЕН"_s);
    log.logEvent(u"08.12.2023 9:31:47 СИСТЕМА A01:СКЛАД ВВЕДЕНА В СОСТАВ КОМПЛЕКСА"_s);
    EXPECT_EQ(log.historyText(), u"08.12.2023 9:31:47 СИСТЕМА A01:СКЛАД ВВЕДЕНА В СОСТАВ КОМПЛЕКСА"_s);
    EXPECT_EQ(log.historyList().size(), 2);
    log.logEvent(u"08.12.2023 17:40:11  КОМПЛЕКС КИРВАН ВЫКЛЮЧЕН"_s);
    EXPECT_EQ(logBytes(), crlf1251(u"08.12.2023 9:15:02  КОМПЛЕКС КИРВАН ВКЛЮЧЕН\n"
                                   u"08.12.2023 9:31:47 СИСТЕМА A01:СКЛАД ВВЕДЕНА В СОСТАВ КОМПЛЕКСА\n"
                                   u"08.12.2023 17:40:11  КОМПЛЕКС КИРВАН ВЫКЛЮЧЕН\n"_s));
}

TEST_F(JournalLogTest, CyrillicIsStoredByteForByteInWindows1251)
{
    log.logEvent(u"ПОЖАР Ёё №"_s);
    // П О Ж А Р blank Ё ё blank №, then CR LF
    EXPECT_EQ(logBytes(), QByteArray("\xCF\xCE\xC6\xC0\xD0\x20\xA8\xB8\x20\xB9\r\n"));
}

TEST_F(JournalLogTest, CharacterOutsideTheCodePageIsWrittenAsQuestionMark)
{
    log.logEvent(u"ДАТЧИК 漢 €"_s);
    EXPECT_EQ(logBytes(), QByteArray("\xC4\xC0\xD2\xD7\xC8\xCA ? \x88\r\n"));
    EXPECT_EQ(log.historyText(), u"ДАТЧИК 漢 €"_s) << "the history line keeps the line as given";
}

TEST_F(JournalLogTest, EmptyLineIsAnEmptyTextLine)
{
    log.logEvent(u"а"_s);
    log.logEvent(QString());
    log.logEvent(u"б"_s);
    EXPECT_EQ(logBytes(), QByteArray("\xE0\r\n\r\n\xE1\r\n"));
    EXPECT_EQ(log.historyList(), QStringList({u"а"_s, QString(), u"б"_s}));
}

TEST_F(JournalLogTest, LogOfEarlierRunsIsAppendedToNeverShortenedAndItsTornLineClosed)
{
    const struct {
        QByteArray earlier;
        QByteArray expected;
    } cases[] = {
        {crlf1251(u"прошлый запуск\n"_s), crlf1251(u"прошлый запуск\nновая\nещё\n"_s)},
        {cp1251::encode(u"ПОЖАР: С"_s).bytes, crlf1251(u"ПОЖАР: С\nновая\nещё\n"_s)},
        {QByteArray("\xE0\r"), QByteArray("\xE0\r\r\n") + crlf1251(u"новая\nещё\n"_s)},
        {QByteArray(), crlf1251(u"новая\nещё\n"_s)},
    };
    for (const auto& c : cases) {
        folder.write(u"KirvanMonitorP.txt"_s, c.earlier);
        JournalLog next{logPath};
        next.logEvent(u"новая"_s);
        next.logEvent(u"ещё"_s);
        EXPECT_EQ(logBytes(), c.expected) << c.earlier.toHex().constData();
        EXPECT_EQ(next.historyList(), QStringList({u"новая"_s, u"ещё"_s})) << "the history starts empty";
    }
}

// The last byte is looked at only while the file is not as this log left it.
TEST_F(JournalLogTest, LineTornByAnotherWriterAfterOursIsClosed)
{
    log.logEvent(u"наша"_s);
    QFile file(logPath);
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("\xF7\xF3\xE6");
    file.close();
    log.logEvent(u"ещё"_s);
    EXPECT_EQ(logBytes(), crlf1251(u"наша\nчуж\nещё\n"_s));
}

TEST_F(JournalLogTest, LogWrittenOnWindowsUnderAnotherCaseIsAppendedTo)
{
    folder.write(u"KIRVANMONITORP.TXT"_s, crlf1251(u"старая\n"_s));
    log.logEvent(u"новая"_s);
    EXPECT_EQ(folder.read(u"KIRVANMONITORP.TXT"_s), crlf1251(u"старая\nновая\n"_s));
    EXPECT_FALSE(QFileInfo::exists(logPath));
}

TEST_F(JournalLogTest, DeletedLogIsCreatedAnewWithJustTheNextLine)
{
    log.logEvent(u"первая"_s);
    ASSERT_TRUE(QFile::remove(logPath));
    log.logEvent(u"вторая"_s);
    EXPECT_EQ(logBytes(), crlf1251(u"вторая\n"_s));
}

TEST_F(JournalLogTest, FileIsClosedBetweenLinesSoOthersSeeEveryLine)
{
    log.logEvent(u"строка"_s);
    // Another program replaces the log between two lines; the next line goes to the new file.
    ASSERT_TRUE(QFile::remove(logPath));
    folder.write(u"KirvanMonitorP.txt"_s, crlf1251(u"копия\n"_s));
    log.logEvent(u"дальше"_s);
    EXPECT_EQ(logBytes(), crlf1251(u"копия\nдальше\n"_s));
}

TEST_F(JournalLogTest, ReadArhivOpensTheExistingLogThroughTheShell)
{
    testing::RecordingDesktopShell shell;
    log.openJournal(shell);
    EXPECT_TRUE(shell.opened.empty()) << "no line logged yet, no file: nothing happens";
    log.logEvent(u"строка"_s);
    EXPECT_TRUE(log.openJournal(shell));
    EXPECT_EQ(shell.opened, std::vector<QString>({logPath}));
    EXPECT_TRUE(shell.started.empty());
    // A kiosk without a program for text files: the caller falls back to its own viewer.
    shell.opens = false;
    EXPECT_FALSE(log.openJournal(shell));
}

TEST_F(JournalLogTest, ReadArhivOpensALogOfAnotherCase)
{
    folder.write(u"kirvanmonitorp.txt"_s, crlf1251(u"старая\n"_s));
    testing::RecordingDesktopShell shell;
    log.openJournal(shell);
    EXPECT_EQ(shell.opened, std::vector<QString>({folder.file(u"kirvanmonitorp.txt"_s)}));
}

TEST_F(JournalLogTest, ReadArhivIgnoresAFolderOfTheLogsName)
{
    ASSERT_TRUE(QDir(folder.path()).mkdir(u"KirvanMonitorP.txt"_s));
    testing::RecordingDesktopShell shell;
    log.openJournal(shell);
    EXPECT_TRUE(shell.opened.empty());
}

} // namespace
} // namespace kirvan
