// The journal viewer's logic: lines split into their parts and kinds, the index over the log and
// its rotated predecessors, the filter, following the log, the CSV export.
#include "archive/JournalExport.h"
#include "archive/JournalIndex.h"
#include "journal/LogFile.h"
#include "tests/support/FixedLocale.h"
#include "tests/support/TempFolder.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

using testing::TempFolder;

// The ten lines of two days, numbered from 1, and the files they lie in, oldest first.
const QStringList lines{
    u"08.12.2023 9:15:02  КОМПЛЕКС КИРВАН ВКЛЮЧЕН"_s,
    u"01/И12-05/07 08.12.2023 9:20:00 ПОЖАР: СКЛАД Цех 1 Коридор"_s,
    u"02/И01-03/08 08.12.2023 10:00:00 ОТКАЗ: ОФИС Приёмная"_s,
    u"01/И01-01/23 08.12.2023 11:00:00 ОТКАЗ: НЕТ СВЯЗИ С КОМПЛЕКСОМ"_s,
    u"02/И01-04/07 09.12.2023 1:30:00 ПОЖАР: ОФИС Серверная"_s,
    u"01/И01-05/51 09.12.2023 2:00:00 ТЕХНОЛОГИЯ: СКЛАД Котельная"_s,
    u"01/И01-05/02 09.12.2023 2:01:00 СКЛАД: ЗВУК ОТКЛ."_s,
    u"09.12.2023 2:05:00 СИСТЕМА A03:ЦЕХ ВВЕДЕНА В СОСТАВ КОМПЛЕКСА"_s,
    u"01/B31/01/24 09.12.2023 2:06:00 СКЛАД:БРВУ 3 ЗАМКНУТ КОНТАКТ РЕЛЕ P1"_s,
    u"09.12.2023 3:00:00  КОМПЛЕКС КИРВАН ВЫКЛЮЧЕН"_s,
};

class JournalFiles : public ::testing::Test {
protected:
    JournalFiles()
    {
        write(u"KirvanMonitorP.txt.2"_s, 0, 1);
        write(u"KirvanMonitorP.txt.1"_s, 1, 2);
        write(u"KirvanMonitorP.txt-20231208"_s, 2, 4);
        write(u"KirvanMonitorP.txt-20231209"_s, 4, 6);
        write(u"KirvanMonitorP.txt"_s, 6, 10);
        folder.write(u"KirvanMonitorP.txt.gz"_s, "not a log");
    }
    void write(const QString& name, qsizetype from, qsizetype to)
    {
        folder.writeText(name, lines.mid(from, to - from).join(u'\n') + u'\n');
    }
    JournalIndex build() { return JournalIndex::build(log(), JournalDateOrder(locale)); }
    QString log() const { return folder.file(u"KirvanMonitorP.txt"_s); }
    // The numbers of the rows' lines in the list above.
    std::vector<int> numbers(const JournalIndex& index, const std::vector<std::uint32_t>& rows)
    {
        std::vector<int> out;
        for (const auto row : rows)
            out.push_back(int(lines.indexOf(index.line(row))) + 1);
        return out;
    }

    TempFolder folder;
    testing::FixedLocale locale;
};

TEST_F(JournalFiles, ReadsThePredecessorsOldestFirstAndTheLogLast)
{
    const JournalIndex index = build();
    ASSERT_EQ(index.size(), 10);
    for (qsizetype row = 0; row < index.size(); ++row)
        EXPECT_EQ(index.line(row), lines[row]);
    EXPECT_EQ(QFileInfo(index.files().back()).fileName(), u"KirvanMonitorP.txt"_s);
}

struct Selection {
    const char* name;
    JournalFilter filter;
    std::vector<int> lines;
    friend void PrintTo(const Selection& s, std::ostream* os) { *os << s.name; }
};

class JournalSelectionTest : public JournalFiles, public ::testing::WithParamInterface<Selection> {};

TEST_P(JournalSelectionTest, ShowsTheLinesThatMeetEveryCondition)
{
    const JournalIndex index = build();
    EXPECT_EQ(numbers(index, index.select(GetParam().filter)), GetParam().lines);
}

JournalFilter only(JournalKinds kinds, int address = -1)
{
    JournalFilter filter;
    filter.kinds = kinds;
    filter.address = address;
    return filter;
}

JournalFilter period(QDateTime from, QDateTime to, int address = -1, QString text = {})
{
    JournalFilter filter;
    filter.from = from;
    filter.to = to;
    filter.address = address;
    filter.text = text;
    return filter;
}

JournalFilter text(QString text)
{
    JournalFilter filter;
    filter.text = text;
    return filter;
}

const QDateTime dec9(QDate(2023, 12, 9), QTime(0, 0));

INSTANTIATE_TEST_SUITE_P(
    Filters, JournalSelectionTest,
    ::testing::Values(
        Selection{"Everything", {}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
        Selection{"OneSystem", only(AllJournalKinds, 1), {2, 4, 6, 7, 9}},
        Selection{"FiresOfOneSystem", only(kindBit(JournalKind::Fire), 2), {5}},
        Selection{"Fires", only(kindBit(JournalKind::Fire)), {2, 5}},
        Selection{"FaultsWithoutLinkLoss", only(kindBit(JournalKind::Fault)), {3}},
        Selection{"LinkAndTechnology", only(kindBit(JournalKind::Link) | kindBit(JournalKind::Technology)), {4, 6}},
        Selection{"OperatorCommands", only(kindBit(JournalKind::Operator)), {7, 8}},
        Selection{"StartAndStop", only(kindBit(JournalKind::StartStop)), {1, 10}},
        Selection{"Other", only(kindBit(JournalKind::Other)), {9}}, Selection{"NoKind", only(0), {}},
        Selection{"PeriodBoundsIncluded", period(dec9.addSecs(5400), dec9.addSecs(7260)), {5, 6, 7}},
        Selection{"OpenEndedPeriodFromItsWholeMinute", period(dec9.addSecs(7300), {}), {7, 8, 9, 10}},
        Selection{"ToMinuteIncludedWhateverItsSeconds", period(dec9.addSecs(7230), dec9.addSecs(7265)), {6, 7}},
        Selection{"CyrillicTextAnyCase", text(u"приёмная"_s), {3}},
        Selection{"DetectorOfARelayUnit", text(u"b31/01"_s), {9}},
        Selection{"DetectorAcrossFiles", text(u"И01-0"_s), {3, 4, 5, 6, 7}},
        Selection{"AllCombined", period(dec9, {}, 1, u"склад"_s), {6, 7, 9}}),
    [](const auto& test) { return std::string(test.param.name); });

// A window that closes stops its read or its selection, so that its worker ends at once.
TEST_F(JournalFiles, AStopEndsTheReadAndTheSelection)
{
    std::stop_source closed;
    closed.request_stop();
    EXPECT_EQ(JournalIndex::build(log(), JournalDateOrder(locale), closed.get_token()).size(), 0);
    EXPECT_TRUE(build().select(text(u"И01-0"_s), 0, closed.get_token()).empty());
}

struct Parsed {
    const char16_t* line;
    JournalFields fields;
    friend void PrintTo(const Parsed& p, std::ostream* os) { *os << QString::fromUtf16(p.line).toStdString(); }
};

class JournalLineParseTest : public ::testing::TestWithParam<Parsed> {};

TEST_P(JournalLineParseTest, SplitsTheLineIntoItsColumns)
{
    const JournalFields& e = GetParam().fields;
    const QStringList expected{e.date, e.time, e.address, e.detector, e.code, e.text};
    EXPECT_EQ(journalColumns(QString::fromUtf16(GetParam().line)), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, JournalLineParseTest,
    ::testing::Values(Parsed{u"01/И12-05/07 08.12.2023 9:20:00 ПОЖАР: СКЛАД Цех 1",
                             {u"08.12.2023"_s, u"9:20:00"_s, u"01"_s, u"И12-05"_s, u"07"_s, u"ПОЖАР: СКЛАД Цех 1"_s}},
                      Parsed{u"01/B31/01/24 09.12.2023 2:06:00 СКЛАД:БРВУ 3",
                             {u"09.12.2023"_s, u"2:06:00"_s, u"01"_s, u"B31/01"_s, u"24"_s, u"СКЛАД:БРВУ 3"_s}},
                      Parsed{u"08.12.2023 9:15:02  КОМПЛЕКС КИРВАН ВКЛЮЧЕН",
                             {u"08.12.2023"_s, u"9:15:02"_s, {}, {}, {}, u"КОМПЛЕКС КИРВАН ВКЛЮЧЕН"_s}},
                      Parsed{u"строка без даты", {{}, {}, {}, {}, {}, u"строка без даты"_s}}, Parsed{u"", {}}));

// A line without a date keeps its place in time: the moment of the line before it.
TEST_F(JournalFiles, ALineWithoutADateBelongsToTheTimeOfTheLineBefore)
{
    folder.writeText(
        u"KirvanMonitorP.txt"_s,
        u"02/И01-04/07 10.12.2023 1:30:00 ПОЖАР: ОФИС\nпродолжение без даты\n10.12.2023 3:00:00  КОМПЛЕКС КИРВАН ВЫКЛЮЧЕН\n"_s);
    const JournalIndex index = build();
    const QDateTime at(QDate(2023, 12, 10), QTime(1, 30));
    EXPECT_EQ(index.select(period(at, at)), (std::vector<std::uint32_t>{6, 7}));
}

TEST(JournalDateOrderTest, ReadsTheDateInTheOrderOfTheRegionalSettingsOrOfItsTwelveHourForm)
{
    struct PatternLocale final : Locale {
        PatternLocale(const char16_t* date, const char16_t* time) : date_(date), time_(time) {}
        QChar decimalSeparator() const override { return u'.'; }
        QString shortDate(const QDate& date) const override { return date.toString(date_); }
        QString longTime(const QTime& time) const override { return time.toString(time_); }
        QStringView date_, time_;
    };
    const PatternLocale iso(u"yyyy-MM-dd", u"HH:mm:ss");
    const PatternLocale posix(u"d/M/yy", u"HH:mm:ss");
    const PatternLocale australian(u"d/MM/yy", u"h:mm:ss AP");
    const testing::FixedLocale russian;
    const auto morning = JournalDateOrder::moment(2023, 12, 8, 9, 5, 2);
    const auto afternoon = JournalDateOrder::moment(2023, 12, 8, 16, 27, 5);
    const struct {
        const Locale& locale;
        const char* date;
        const char* time;
        std::int64_t expected;
    } cases[] = {
        {iso, "2023-12-08", "09:05:02", morning},        {russian, "08.12.2023", "9:05:02", morning},
        {russian, "08.12.23", "9:05:02", morning},       {russian, "СИСТЕМА", "9:05:02", 0},
        {russian, "12/8/2023", "4:27:05 PM", afternoon}, {posix, "12/8/2023", "4:27:05 PM", afternoon},
        {posix, "8/12/2023", "16:27:05", afternoon},     {australian, "8/12/2023", "4:27:05 PM", afternoon},
    };
    for (const auto& c : cases)
        EXPECT_EQ(JournalDateOrder(c.locale).moment(c.date, c.time), c.expected) << c.date << ' ' << c.time;
    EXPECT_LT(JournalDateOrder(russian).moment("31.12.2023", "23:59:59"),
              JournalDateOrder(russian).moment("01.01.2024", "0:00:00"));
}

// The viewer follows the log as the workstation writes it, through a rotation, and never changes
// a file: the workstation appends and logrotate renames while the index holds them open.
TEST_F(JournalFiles, FollowsTheLogThroughARotationWithoutChangingAFile)
{
    const QByteArray halfLine = testing::crlf1251(u"01/И12-05/07 10.12.2023 4:00:00 ПОЖ"_s);
    folder.write(u"KirvanMonitorP.txt"_s, folder.read(u"KirvanMonitorP.txt"_s) + halfLine);
    JournalIndex index = build();
    EXPECT_EQ(index.size(), 10) << "a line still being written is not shown";
    EXPECT_EQ(index.follow(), JournalIndex::Follow::Unchanged);

    folder.write(u"KirvanMonitorP.txt"_s, folder.read(u"KirvanMonitorP.txt"_s) + testing::crlf1251(u"АР: СКЛАД\n"_s));
    LogFile file(log());
    file.append(u"01/И12-06/08 10.12.2023 4:01:00 ОТКАЗ: СКЛАД"_s);
    EXPECT_EQ(index.follow(), JournalIndex::Follow::Appended);
    ASSERT_EQ(index.size(), 12);
    EXPECT_EQ(index.line(10), u"01/И12-05/07 10.12.2023 4:00:00 ПОЖАР: СКЛАД"_s);
    EXPECT_EQ(index.select(only(kindBit(JournalKind::Fire)), 10), std::vector<std::uint32_t>{10});

    ASSERT_TRUE(QFile::rename(log(), folder.file(u"KirvanMonitorP.txt-20231210"_s)));
    file.append(u"10.12.2023 5:00:00  КОМПЛЕКС КИРВАН ВЫКЛЮЧЕН"_s);
    EXPECT_EQ(index.follow(), JournalIndex::Follow::Rotated);
    EXPECT_EQ(build().size(), 13);
    EXPECT_EQ(index.line(11), u"01/И12-06/08 10.12.2023 4:01:00 ОТКАЗ: СКЛАД"_s) << "a copy keeps what it read";
    EXPECT_EQ(folder.read(u"KirvanMonitorP.txt.2"_s), testing::crlf1251(lines[0] + u'\n'));
}

TEST_F(JournalFiles, ExportsTheShownLinesAsCsvForOfficePrograms)
{
    folder.writeText(u"KirvanMonitorP.txt"_s, u"01/И12-05/07 08.12.2023 9:20:00 ПОЖАР: СКЛАД \"Цех; 1\"\n"_s);
    const JournalIndex index = build();
    const JournalFilter filter = only(kindBit(JournalKind::Fire), 1);
    QByteArray csv;
    QBuffer out(&csv);
    out.open(QIODevice::WriteOnly);
    ExportProgress progress;
    ASSERT_EQ(writeJournalCsv(out, index, index.select(filter), filter, progress), ExportEnd::Done);
    EXPECT_EQ(progress.rowsDone, 2u);
    EXPECT_TRUE(csv.startsWith("\xEF\xBB\xBF"));
    const QStringList rows = QString::fromUtf8(csv.mid(3)).split(u"\r\n"_s);
    ASSERT_EQ(rows.size(), 5); // filter, heads, two fires, nothing after the last CR LF
    EXPECT_EQ(rows[0], u"\"Журнал событий KirvanMonitorP, фильтр: система 01; события: пожар; строк: 2\""_s);
    EXPECT_EQ(rows[1], u"Дата;Время;Система;Извещатель;Код;Текст"_s);
    EXPECT_EQ(rows[2], u"08.12.2023;9:20:00;01;И12-05;07;ПОЖАР: СКЛАД Цех 1 Коридор"_s);
    EXPECT_EQ(rows[3], u"08.12.2023;9:20:00;01;И12-05;07;\"ПОЖАР: СКЛАД \"\"Цех; 1\"\"\""_s);
}

TEST_F(JournalFiles, ACancelledOrRefusedExportEndsSo)
{
    folder.writeText(u"KirvanMonitorP.txt"_s, u"01/И12-05/07 08.12.2023 9:20:00 ПОЖАР: СКЛАД\n"_s);
    const JournalIndex index = build();
    const JournalFilter all;
    const std::vector<std::uint32_t> rows = index.select(all);
    QByteArray csv;
    QBuffer out(&csv);
    out.open(QIODevice::WriteOnly);
    ExportProgress cancelled;
    cancelled.cancelled = true;
    EXPECT_EQ(writeJournalCsv(out, index, rows, all, cancelled), ExportEnd::Cancelled);
    EXPECT_TRUE(csv.isEmpty());
    QBuffer readOnly(&csv);
    readOnly.open(QIODevice::ReadOnly);
    ExportProgress progress;
    EXPECT_EQ(writeJournalCsv(readOnly, index, rows, all, progress), ExportEnd::Failed);
}

} // namespace
} // namespace kirvan
