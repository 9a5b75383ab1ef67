// Log lines as the workstation writes them under each regional setting, and lines it cannot date:
// each gives its parts, its kind and its moment, or stays as it is without a date.
#include "files/Cp1251.h"
#include "archive/JournalExport.h"
#include "archive/JournalIndex.h"
#include "tests/support/TempFolder.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

struct Form {
    const char* name;
    JournalDateOrder order;
    QByteArray bytes; // as the file holds them
    QString date;
    QString time;
    QString text;
    JournalKind kind;
    QDateTime moment; // invalid: the line has no date that can be read
    friend void PrintTo(const Form& f, std::ostream* os) { *os << f.name; }
};

QByteArray cp(const char16_t* text)
{
    return cp1251::encode(QString::fromUtf16(text)).bytes;
}

const JournalDateOrder dayFirst(0, 1, 2);
const JournalDateOrder monthFirst(1, 0, 2);
const JournalDateOrder dayFirstTwelveHour(0, 1, 2, true);
const QDate dec9(2026, 12, 9);

class JournalLineFormTest : public ::testing::TestWithParam<Form> {};

TEST_P(JournalLineFormTest, GivesItsPartsKindAndMoment)
{
    const Form& f = GetParam();
    const QStringList columns = journalColumns(cp1251::decode(f.bytes));
    EXPECT_EQ(columns[0], f.date);
    EXPECT_EQ(columns[1], f.time);
    EXPECT_EQ(columns[5], f.text);
    const JournalLineInfo info = inspectJournalLine(f.bytes, f.order);
    EXPECT_EQ(info.kind, f.kind);
    const QDateTime& m = f.moment;
    EXPECT_EQ(info.moment, m.isValid() ? JournalDateOrder::moment(m.date().year(), m.date().month(), m.date().day(),
                                                                  m.time().hour(), m.time().minute(), m.time().second())
                                       : 0);
}

INSTANTIATE_TEST_SUITE_P(RegionalForms, JournalLineFormTest,
                         ::testing::Values(Form{"Russian",
                                                dayFirst,
                                                cp(u"01/И12-05/07 09.12.2026 16:27:05 ПОЖАР: СКЛАД"),
                                                u"09.12.2026"_s,
                                                u"16:27:05"_s,
                                                u"ПОЖАР: СКЛАД"_s,
                                                JournalKind::Fire,
                                                {dec9, QTime(16, 27, 5)}},
                                           Form{"UnitedStatesAfternoon",
                                                monthFirst,
                                                cp(u"01/И12-05/07 12/9/26 4:27:05 PM ПОЖАР: СКЛАД"),
                                                u"12/9/26"_s,
                                                u"4:27:05 PM"_s,
                                                u"ПОЖАР: СКЛАД"_s,
                                                JournalKind::Fire,
                                                {dec9, QTime(16, 27, 5)}},
                                           Form{"UnitedStatesFault",
                                                monthFirst,
                                                cp(u"02/И01-03/08 12/9/26 11:00:00 AM ОТКАЗ: ОФИС"),
                                                u"12/9/26"_s,
                                                u"11:00:00 AM"_s,
                                                u"ОТКАЗ: ОФИС"_s,
                                                JournalKind::Fault,
                                                {dec9, QTime(11, 0)}},
                                           Form{"UnitedStatesStart",
                                                monthFirst,
                                                cp(u"12/9/26 4:27:05 PM  КОМПЛЕКС КИРВАН ВКЛЮЧЕН"),
                                                u"12/9/26"_s,
                                                u"4:27:05 PM"_s,
                                                u"КОМПЛЕКС КИРВАН ВКЛЮЧЕН"_s,
                                                JournalKind::StartStop,
                                                {dec9, QTime(16, 27, 5)}},
                                           Form{"MidnightIsTwelveAm",
                                                monthFirst,
                                                cp(u"12/9/26 12:05:00 AM СИСТЕМА A03:ЦЕХ"),
                                                u"12/9/26"_s,
                                                u"12:05:00 AM"_s,
                                                u"СИСТЕМА A03:ЦЕХ"_s,
                                                JournalKind::Operator,
                                                {dec9, QTime(0, 5)}},
                                           Form{"NoonIsTwelvePm",
                                                monthFirst,
                                                cp(u"12/9/26 12:05:00 PM  КОМПЛЕКС КИРВАН ВЫКЛЮЧЕН"),
                                                u"12/9/26"_s,
                                                u"12:05:00 PM"_s,
                                                u"КОМПЛЕКС КИРВАН ВЫКЛЮЧЕН"_s,
                                                JournalKind::StartStop,
                                                {dec9, QTime(12, 5)}},
                                           Form{"BritishLowerCaseDayHalf",
                                                dayFirstTwelveHour,
                                                cp(u"01/И01-01/23 9/12/2026 4:27:05 p.m. ОТКАЗ: НЕТ СВЯЗИ"),
                                                u"9/12/2026"_s,
                                                u"4:27:05 p.m."_s,
                                                u"ОТКАЗ: НЕТ СВЯЗИ"_s,
                                                JournalKind::Link,
                                                {dec9, QTime(16, 27, 5)}},
                                           Form{"YearFirstUnderAnySetting",
                                                dayFirst,
                                                cp(u"2026-12-09 16:27:05  КОМПЛЕКС КИРВАН ВКЛЮЧЕН"),
                                                u"2026-12-09"_s,
                                                u"16:27:05"_s,
                                                u"КОМПЛЕКС КИРВАН ВКЛЮЧЕН"_s,
                                                JournalKind::StartStop,
                                                {dec9, QTime(16, 27, 5)}},
                                           Form{"FinnishDottedTime",
                                                dayFirst,
                                                cp(u"9.12.2026 16.27.05  КОМПЛЕКС КИРВАН ВКЛЮЧЕН"),
                                                u"9.12.2026"_s,
                                                u"16.27.05"_s,
                                                u"КОМПЛЕКС КИРВАН ВКЛЮЧЕН"_s,
                                                JournalKind::StartStop,
                                                {dec9, QTime(16, 27, 5)}},
                                           Form{"ShortTime",
                                                dayFirst,
                                                cp(u"09.12.26 16:27  КОМПЛЕКС КИРВАН ВКЛЮЧЕН"),
                                                u"09.12.26"_s,
                                                u"16:27"_s,
                                                u"КОМПЛЕКС КИРВАН ВКЛЮЧЕН"_s,
                                                JournalKind::StartStop,
                                                {dec9, QTime(16, 27)}},
                                           Form{"TenDigitHour",
                                                dayFirst,
                                                cp(u"01/И12-05/07 09.12.2026 4294967296:27:05 ПОЖАР: СКЛАД"),
                                                {},
                                                {},
                                                u"01/И12-05/07 09.12.2026 4294967296:27:05 ПОЖАР: СКЛАД"_s,
                                                JournalKind::Other,
                                                {}},
                                           Form{"TenDigitYear",
                                                dayFirst,
                                                cp(u"09.12.99999999999 16:27:05  КОМПЛЕКС КИРВАН ВКЛЮЧЕН"),
                                                {},
                                                {},
                                                u"09.12.99999999999 16:27:05  КОМПЛЕКС КИРВАН ВКЛЮЧЕН"_s,
                                                JournalKind::Other,
                                                {}},
                                           Form{"NoSuchDay",
                                                dayFirst,
                                                cp(u"31.02.2026 16:27:05  КОМПЛЕКС КИРВАН ВКЛЮЧЕН"),
                                                u"31.02.2026"_s,
                                                u"16:27:05"_s,
                                                u"КОМПЛЕКС КИРВАН ВКЛЮЧЕН"_s,
                                                JournalKind::Other,
                                                {}},
                                           Form{"ThirteenPm",
                                                monthFirst,
                                                cp(u"12/9/26 13:27:05 PM  КОМПЛЕКС КИРВАН ВКЛЮЧЕН"),
                                                {},
                                                {},
                                                u"12/9/26 13:27:05 PM  КОМПЛЕКС КИРВАН ВКЛЮЧЕН"_s,
                                                JournalKind::Other,
                                                {}},
                                           Form{"Utf8Line",
                                                dayFirst,
                                                u"01/И12-05/07 08.12.2023 9:20:00 ПОЖАР: СКЛАД"_s.toUtf8(),
                                                {},
                                                {},
                                                cp1251::decode(u"01/И12-05/07 08.12.2023 9:20:00 ПОЖАР: СКЛАД"_s.toUtf8()),
                                                JournalKind::Other,
                                                {}}),
                         [](const auto& test) { return std::string(test.param.name); });

class JournalFileLines : public ::testing::Test {
protected:
    JournalIndex build() { return JournalIndex::build(log(), dayFirst); }
    QString log() const { return folder.file(u"KirvanMonitorP.txt"_s); }
    // Writes the log anew in the same file, as a cut and rewritten log is.
    void rewrite(const QByteArray& bytes) const
    {
        QFile file(log());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }
    testing::TempFolder folder;
};

TEST_F(JournalFileLines, ALineLongerThanABlockIsOneLine)
{
    const QByteArray longLine = "09.12.2026 16:27:05  " + QByteArray(5 << 20, 'x');
    rewrite("09.12.2026 16:27:00  first\r\n" + longLine + "\r\n09.12.2026 16:28:00  last\r\n");
    const JournalIndex index = build();
    ASSERT_EQ(index.size(), 3);
    EXPECT_EQ(index.line(1), QString::fromLatin1(longLine));
    EXPECT_EQ(index.line(2), u"09.12.2026 16:28:00  last"_s);
    JournalFilter filter;
    filter.text = u"xxxx"_s;
    EXPECT_EQ(index.select(filter), (std::vector<std::uint32_t>{1}));
}

TEST_F(JournalFileLines, ALineTheCutLogNoLongerHoldsIsNotShownAsAnother)
{
    rewrite("09.12.2026 16:27:00  aaaa\r\n09.12.2026 16:28:00  bbbb\r\n");
    const JournalIndex index = build();
    ASSERT_EQ(index.size(), 2);
    rewrite("09.12.2026 16:27:00  bbbbbbbbbbbbbbbbbbbbbb");
    EXPECT_EQ(index.line(0), u"не удалось прочитать"_s);
    EXPECT_EQ(index.line(1), u"не удалось прочитать"_s);
    JournalFilter filter;
    filter.text = u"bbbb"_s;
    EXPECT_TRUE(index.select(filter).empty());
}

TEST_F(JournalFileLines, CountsTheLinesItCouldNotDate)
{
    rewrite(cp(u"09.12.2026 16:27:00  КОМПЛЕКС КИРВАН ВКЛЮЧЕН\r\nпродолжение\r\n09.12.2026 99:00:00  сбой\r\n"));
    EXPECT_EQ(build().undated(), 2);
}

} // namespace
} // namespace kirvan
