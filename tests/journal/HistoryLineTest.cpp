#include "journal/HistoryLine.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

TEST(HistoryLineTest, ShowsTheNewestLineAndListsAllOldestFirst)
{
    HistoryLine history;
    history.add(u"08.12.2023 9:15:02  КОМПЛЕКС КИРВАН ВКЛЮЧЕН"_s);
    history.add(u"08.12.2023 9:31:47 СИСТЕМА A01:СКЛАД ВВЕДЕНА В СОСТАВ КОМПЛЕКСА"_s);
    EXPECT_EQ(history.text(), u"08.12.2023 9:31:47 СИСТЕМА A01:СКЛАД ВВЕДЕНА В СОСТАВ КОМПЛЕКСА"_s);
    EXPECT_EQ(history.list(), QStringList({u"08.12.2023 9:15:02  КОМПЛЕКС КИРВАН ВКЛЮЧЕН"_s,
                                           u"08.12.2023 9:31:47 СИСТЕМА A01:СКЛАД ВВЕДЕНА В СОСТАВ КОМПЛЕКСА"_s}));
}

TEST(HistoryLineTest, EmptyLineIsAnEmptyEntry)
{
    HistoryLine history;
    history.add(u"первая"_s);
    history.add(QString());
    EXPECT_EQ(history.text(), QString());
    EXPECT_EQ(history.list(), QStringList({u"первая"_s, QString()}));
}

TEST(HistoryLineTest, KeepsTheNewestLinesUpToTheBound)
{
    HistoryLine history;
    const qsizetype total = HistoryLine::MaxEntries + 5;
    for (qsizetype i = 0; i < total; ++i)
        history.add(QString::number(i));
    ASSERT_EQ(history.list().size(), HistoryLine::MaxEntries);
    EXPECT_EQ(history.list().front(), u"5"_s) << "the five oldest are dropped";
    EXPECT_EQ(history.list().back(), QString::number(total - 1));
    EXPECT_EQ(history.text(), QString::number(total - 1));
}

TEST(HistoryLineTest, ChoosingAnEntryShowsItWithoutChangingTheList)
{
    HistoryLine history;
    history.add(u"первая"_s);
    history.add(u"вторая"_s);
    int changes = 0;
    history.setOnChanged([&] { ++changes; });
    history.chooseEntry(0);
    EXPECT_EQ(history.text(), u"первая"_s);
    EXPECT_EQ(history.list(), QStringList({u"первая"_s, u"вторая"_s}));
    EXPECT_EQ(changes, 1);
    history.chooseEntry(2);
    history.chooseEntry(-1);
    EXPECT_EQ(history.text(), u"первая"_s);
    EXPECT_EQ(changes, 1);
    history.add(u"третья"_s);
    EXPECT_EQ(history.text(), u"третья"_s) << "a new line replaces the chosen entry";
    EXPECT_EQ(changes, 2);
}

} // namespace
} // namespace kirvan
