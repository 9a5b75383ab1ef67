#include "journal/EventTable.h"

#include "files/IniFile.h"
#include "files/IniStore.h"
#include "files/SettingsKeys.h"
#include "tests/support/FixedLocale.h"
#include "tests/support/TempFolder.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <ostream>
#include <stdexcept>
#include <string>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

using testing::TempFolder;

ino_t inodeOf(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

template <typename Case> std::string caseName(const ::testing::TestParamInfo<Case>& test)
{
    return test.param.name;
}

class EventTableTest : public ::testing::Test {
protected:
    QString stored() const
    {
        return settings.readString(settings::sectionSettings, settings::keyTable, u"<missing>"_s);
    }
    void store(const QString& value) { settings.writeString(settings::sectionSettings, settings::keyTable, value); }
    // Fills and commits `count` rows, each with the given scroll offset.
    void commitRows(int count, int offset)
    {
        for (int i = 0; i < count; ++i) {
            table.writeCell(0, QString::number(table.journalRow()));
            table.commitJournalRow(offset);
        }
    }

    TempFolder folder;
    testing::FixedLocale locale;
    IniStore store_{locale};
    IniFile settings{store_, folder.file(u"KirvanMonitorP.ini"_s)};
    EventTable table{settings};
};

TEST_F(EventTableTest, HeadersAndWidthsAreExact)
{
    const QString headers[] = {u" №"_s,       u"  СОСТ."_s, u"          ОБЪЕКТ"_s, u"                 СООБЩЕНИЕ"_s,
                               u"    ДАТА"_s, u"ВРЕМЯ"_s};
    const int widths[] = {24, 62, 155, 243, 67, 65};
    for (int column = 0; column < EventTable::ColumnCount; ++column) {
        SCOPED_TRACE(column);
        EXPECT_EQ(table.cell(0, column), headers[column]);
        EXPECT_EQ(QString::fromUtf16(EventTable::columns()[static_cast<std::size_t>(column)].header), headers[column]);
        EXPECT_EQ(table.columnWidth(column), widths[column]);
    }
}

TEST_F(EventTableTest, StartsWithHeaderAnd39EmptyRowsCollapsedAtTheTop)
{
    EXPECT_EQ(table.rowCount(), 40);
    EXPECT_EQ(table.journalRow(), 1);
    EXPECT_EQ(table.topRow(), 1);
    EXPECT_FALSE(table.expanded());
    EXPECT_TRUE(table.planVisible());
    for (int row = 1; row < table.rowCount(); ++row)
        for (int column = 0; column < EventTable::ColumnCount; ++column)
            EXPECT_TRUE(table.cell(row, column).isEmpty());
    EXPECT_EQ(stored(), u"<missing>"_s) << "nothing is written before the first layout";
}

TEST_F(EventTableTest, CellsAddressRowJournalRowAndCommittedRowsStay)
{
    table.writeCell(0, u"1"_s);
    table.writeCell(1, u"ОТКАЗ"_s);
    table.writeCell(3, u"НЕИСПРАВНОСТЬ"_s);
    EXPECT_EQ(table.readCell(1), u"ОТКАЗ"_s);
    table.commitJournalRow(1);
    EXPECT_EQ(table.readCell(1), QString()) << "the next row starts empty";
    table.writeCell(1, u"ПОЖАР"_s);
    table.commitJournalRow(0);
    EXPECT_EQ(table.cell(1, 0), u"1"_s);
    EXPECT_EQ(table.cell(1, 1), u"ОТКАЗ"_s);
    EXPECT_EQ(table.cell(1, 3), u"НЕИСПРАВНОСТЬ"_s);
    EXPECT_EQ(table.cell(2, 1), u"ПОЖАР"_s);
}

TEST_F(EventTableTest, RowsAreOnlyAppendedWith39EmptyRowsBelowJournalRow)
{
    for (int committed = 1; committed <= 60; ++committed) {
        table.writeCell(2, QString::number(committed));
        table.commitJournalRow(committed % 2);
        ASSERT_EQ(table.journalRow(), committed + 1);
        ASSERT_EQ(table.rowCount(), 40 + committed);
        ASSERT_EQ(table.rowCount() - table.journalRow(), 39);
    }
    table.scrollUp();
    table.scrollDown();
    for (int row = 1; row <= 60; ++row)
        EXPECT_EQ(table.cell(row, 2), QString::number(row)) << "row " << row;
}

TEST_F(EventTableTest, ColumnOrRowOutsideTheTableThrows)
{
    EXPECT_THROW(table.writeCell(6, u"x"_s), std::out_of_range);
    EXPECT_THROW(table.writeCell(-1, u"x"_s), std::out_of_range);
    EXPECT_THROW(static_cast<void>(table.readCell(6)), std::out_of_range);
    EXPECT_THROW(static_cast<void>(table.cell(40, 0)), std::out_of_range);
    EXPECT_THROW(static_cast<void>(table.cell(-1, 0)), std::out_of_range);
    EXPECT_THROW(static_cast<void>(table.columnWidth(6)), std::out_of_range);
}

struct CommitCase {
    const char* name;
    bool expanded;
    int rowsBefore; // committed with offset 1 beforehand
    int offset; // of the commit under test
    int journalRow; // afterwards
    int topRow; // afterwards
};

void PrintTo(const CommitCase& c, std::ostream* out)
{
    *out << c.name;
}

class CommitJournalRowTest : public EventTableTest, public ::testing::WithParamInterface<CommitCase> {};

TEST_P(CommitJournalRowTest, ScrollsSoThatTheNewestRowsStayInView)
{
    const CommitCase& c = GetParam();
    if (c.expanded)
        table.scrollUp();
    commitRows(c.rowsBefore, 1);
    table.commitJournalRow(c.offset);
    EXPECT_EQ(table.journalRow(), c.journalRow);
    EXPECT_EQ(table.topRow(), c.topRow);
}

INSTANTIATE_TEST_SUITE_P(Cases, CommitJournalRowTest,
                         ::testing::Values(CommitCase{"FirstFaultCollapsedDoesNotScroll", false, 0, 1, 2, 1},
                                           CommitCase{"FirstFireCollapsedDoesNotScroll", false, 0, 0, 2, 1},
                                           CommitCase{"ThirdRowReachesTheDepthWithoutScrolling", false, 2, 0, 4, 1},
                                           CommitCase{"FourthRowFaultCollapsedKeepsRowOneOnTop", false, 3, 1, 5, 1},
                                           CommitCase{"FourthRowFireCollapsedShowsRowTwoOnTop", false, 3, 0, 5, 2},
                                           CommitCase{"FourthRowWithLargeOffsetStopsAtRowOne", false, 3, 5, 5, 1},
                                           CommitCase{"TenthRowFaultCollapsed", false, 9, 1, 11, 7},
                                           CommitCase{"TenthRowFireCollapsed", false, 9, 0, 11, 8},
                                           CommitCase{"TwentiethRowExpandedDoesNotScroll", true, 19, 0, 21, 1},
                                           CommitCase{"TwentyFirstRowFaultExpandedKeepsRowOneOnTop", true, 20, 1, 22, 1},
                                           CommitCase{"TwentyFirstRowFireExpandedShowsRowTwoOnTop", true, 20, 0, 22, 2},
                                           CommitCase{"FortiethRowFaultExpanded", true, 39, 1, 41, 20}),
                         caseName<CommitCase>);

// Beyond MaxRows the oldest row leaves the grid for each new one; the numbers keep counting and
// the newest rows stay in view as below the bound.
struct BoundCase {
    const char* name;
    bool expanded;
    int rowsBefore; // committed with offset 1 beforehand
    int offset; // of the commit under test
    int journalRow; // afterwards
    int rowCount; // of the grid afterwards
    const char* first; // number in the first data row of the grid
    int topRow; // row of the grid
    const char* top; // number shown in it
};

void PrintTo(const BoundCase& c, std::ostream* out)
{
    *out << c.name;
}

class TableBoundTest : public EventTableTest, public ::testing::WithParamInterface<BoundCase> {};

TEST_P(TableBoundTest, KeepsTheNewestRowsNumberedAndInView)
{
    const BoundCase& c = GetParam();
    if (c.expanded)
        table.scrollUp();
    commitRows(c.rowsBefore, 1);
    table.writeCell(0, QString::number(table.journalRow()));
    table.commitJournalRow(c.offset);
    EXPECT_EQ(table.journalRow(), c.journalRow);
    ASSERT_EQ(table.rowCount(), c.rowCount);
    EXPECT_EQ(table.rowCount() - table.fillingRow(), 39);
    EXPECT_EQ(table.cell(1, 0), QString::fromLatin1(c.first));
    EXPECT_EQ(table.cell(table.fillingRow() - 1, 0), QString::number(c.journalRow - 1)) << "the newest row";
    EXPECT_EQ(table.cell(table.fillingRow(), 0), QString()) << "the row the next event fills";
    EXPECT_EQ(table.topRow(), c.topRow);
    EXPECT_EQ(table.cell(c.topRow, 0), QString::fromLatin1(c.top));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TableBoundTest,
    ::testing::Values(BoundCase{"LastRowBelowTheBound", false, 9999, 1, 10001, 10040, "1", 9997, "9997"},
                      BoundCase{"FirstRowPastTheBoundDropsTheOldest", false, 10000, 1, 10002, 10040, "2", 9997, "9998"},
                      BoundCase{"FireFarPastTheBoundCollapsed", false, 24999, 0, 25001, 10040, "15001", 9998, "24998"},
                      BoundCase{"FaultFarPastTheBoundExpanded", true, 24999, 1, 25001, 10040, "15001", 9980, "24980"},
                      BoundCase{"FireFarPastTheBoundExpanded", true, 24999, 0, 25001, 10040, "15001", 9981, "24981"}),
    caseName<BoundCase>);

TEST_F(EventTableTest, SwitchingLayoutsAtTheBoundScrollsToTheNewestRows)
{
    commitRows(12000, 1);
    ASSERT_EQ(table.droppedRows(), 2000);
    table.scrollUp();
    EXPECT_EQ(table.topRow(), 9981);
    EXPECT_EQ(table.cell(table.topRow(), 0), u"11981"_s);
    table.scrollDown();
    EXPECT_EQ(table.topRow(), 9998);
    EXPECT_EQ(table.cell(table.topRow(), 0), u"11998"_s);
}

TEST_F(EventTableTest, SwitchingLayoutsScrollsToTheDepthOfTheNewLayout)
{
    commitRows(24, 1);
    ASSERT_EQ(table.journalRow(), 25);
    table.scrollUp();
    EXPECT_TRUE(table.expanded());
    EXPECT_FALSE(table.planVisible());
    EXPECT_EQ(table.topRow(), 5);
    EXPECT_EQ(stored(), u"1"_s);
    table.scrollDown();
    EXPECT_FALSE(table.expanded());
    EXPECT_TRUE(table.planVisible());
    EXPECT_EQ(table.topRow(), 22);
    EXPECT_EQ(stored(), u"0"_s);
}

TEST_F(EventTableTest, SwitchingLayoutsWithFewRowsLeavesTheTopAlone)
{
    commitRows(3, 1); // journalRow 4: more than 3, not more than 20
    const int top = table.topRow();
    table.scrollUp();
    EXPECT_EQ(table.topRow(), top);
    table.scrollDown();
    EXPECT_EQ(table.topRow(), 1);
}

struct ResizeCase {
    const char* name;
    bool keyPresent;
    const char16_t* value;
    bool expanded;
    const char16_t* rewritten;
};

void PrintTo(const ResizeCase& c, std::ostream* out)
{
    *out << c.name;
}

class GridResizeTest : public EventTableTest, public ::testing::WithParamInterface<ResizeCase> {};

TEST_P(GridResizeTest, AppliesAndRewritesTheStoredLayout)
{
    const ResizeCase& c = GetParam();
    if (c.keyPresent)
        store(QString::fromUtf16(c.value));
    table.fitToGrid(1000);
    EXPECT_EQ(table.expanded(), c.expanded);
    EXPECT_EQ(stored(), QString::fromUtf16(c.rewritten));
}

INSTANTIATE_TEST_SUITE_P(Cases, GridResizeTest,
                         ::testing::Values(ResizeCase{"MissingKeyCollapsesAndIsWrittenAsZero", false, u"", false, u"0"},
                                           ResizeCase{"ZeroCollapses", true, u"0", false, u"0"},
                                           ResizeCase{"OneExpands", true, u"1", true, u"1"},
                                           ResizeCase{"TwoCountsAsExpandedAndBecomesOne", true, u"2", true, u"1"},
                                           ResizeCase{"EmptyValueCountsAsExpanded", true, u"", true, u"1"},
                                           ResizeCase{"TextCountsAsExpanded", true, u"нет", true, u"1"}),
                         caseName<ResizeCase>);

TEST_F(EventTableTest, ResizingFitsTheMessageColumnToTheGrid)
{
    table.fitToGrid(1000);
    EXPECT_EQ(table.columnWidth(3), 1000 - (24 + 62 + 155 + 67 + 65) - 30);
    for (int column : {0, 1, 2, 4, 5})
        EXPECT_EQ(table.columnWidth(column), EventTable::columns()[static_cast<std::size_t>(column)].width);
}

TEST_F(EventTableTest, ResizingFitsAroundColumnsTheOperatorDragged)
{
    table.setColumnWidth(2, 200);
    table.fitToGrid(1000);
    EXPECT_EQ(table.columnWidth(3), 1000 - (24 + 62 + 200 + 67 + 65) - 30);
}

TEST_F(EventTableTest, NarrowWindowLeavesTheMessageColumnEmptyNotNegative)
{
    table.fitToGrid(300);
    EXPECT_EQ(table.columnWidth(3), 0);
}

TEST_F(EventTableTest, ResizeKeepsTheOperatorsLayoutChoice)
{
    table.fitToGrid(800);
    table.scrollUp();
    table.fitToGrid(900);
    EXPECT_TRUE(table.expanded());
    table.scrollDown();
    table.fitToGrid(1000);
    EXPECT_FALSE(table.expanded());
}

TEST_F(EventTableTest, ResizingWithTheLayoutAlreadyStoredLeavesTheSettingsFileAlone)
{
    store(u"1"_s);
    const QString path = folder.file(u"KirvanMonitorP.ini"_s);
    const ino_t before = inodeOf(path);
    for (int width = 600; width < 700; ++width)
        table.fitToGrid(width);
    EXPECT_EQ(inodeOf(path), before) << "every write replaces the file";
    table.scrollDown();
    EXPECT_NE(inodeOf(path), before);
    EXPECT_EQ(stored(), u"0"_s);
}

TEST_F(EventTableTest, LayoutIsAppliedEvenWhenTheSettingsFileRefusesTheWrite)
{
    IniStore store{locale};
    IniFile unwritable{store, folder.file(u"missing-folder/KirvanMonitorP.ini"_s)};
    EventTable other{unwritable};
    EXPECT_ANY_THROW(other.scrollUp());
    EXPECT_TRUE(other.expanded());
}

TEST_F(EventTableTest, EveryChangeIsAnnounced)
{
    int changes = 0;
    table.setOnChanged([&] { ++changes; });
    table.writeCell(0, u"1"_s);
    EXPECT_EQ(changes, 1);
    table.commitJournalRow(1);
    EXPECT_EQ(changes, 2);
    table.scrollUp();
    EXPECT_EQ(changes, 3);
    table.fitToGrid(1000);
    EXPECT_EQ(changes, 4);
    table.setColumnWidth(0, 30);
    EXPECT_EQ(changes, 5);
}

TEST_F(EventTableTest, FittingTheMessageColumnLeavesTheLayoutAndAnnouncesOnlyAChange)
{
    int changes = 0;
    table.setOnChanged([&] { ++changes; });
    table.fitMessageColumn(1000);
    EXPECT_EQ(table.columnWidth(EventTable::MessageColumn), 1000 - (24 + 62 + 155 + 67 + 65) - 30);
    table.fitMessageColumn(1000);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(table.expanded());
}

} // namespace
} // namespace kirvan
