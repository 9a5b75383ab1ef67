#include "complex/ComplexFile.h"

#include "files/FileWriteError.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

using testing::TempFolder;

// The tree as "level:text" lines, in tree order.
QStringList outline(const CompositionTree& tree)
{
    QStringList lines;
    tree.walk([&](TreeNode& node) {
        lines << QString::number(node.level()) + u':' + node.text();
        return true;
    });
    return lines;
}

struct LevelCase {
    const char* name;
    const char16_t* content;
    QStringList expected;
    friend void PrintTo(const LevelCase& c, std::ostream* os) { *os << c.name; }
};

class ComplexFileLevelsTest : public ::testing::TestWithParam<LevelCase> {};

TEST_P(ComplexFileLevelsTest, BuildsTheTreeFromTheIndentation)
{
    CompositionTree tree;
    ComplexFile::parseInto(tree, QStringView(GetParam().content));
    EXPECT_EQ(outline(tree), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, ComplexFileLevelsTest,
    ::testing::Values(LevelCase{"WorkedExample",
                                u"A01:СКЛАД\r\n\tЦех 1\r\n\t\tИ01-05 Коридор\r\n\t\tИ01-06 Склад готовой продукции\r\n"
                                u"\t\tИ13-12 Лестница\r\n",
                                {u"0:A01:СКЛАД"_s, u"1:Цех 1"_s, u"2:И01-05 Коридор"_s,
                                 u"2:И01-06 Склад готовой продукции"_s, u"2:И13-12 Лестница"_s}},
                      LevelCase{"BlanksCountLikeTabs",
                                u"A00:ОФИС\n Зона\n  И01-01 Холл\n\tЗона 2\n",
                                {u"0:A00:ОФИС"_s, u"1:Зона"_s, u"2:И01-01 Холл"_s, u"1:Зона 2"_s}},
                      LevelCase{"LineEndsCrLfAndCrAndLf",
                                u"A00:X\r\tZ1\n\t\tИ01-01 a\r\n\tZ2\rA02:Y",
                                {u"0:A00:X"_s, u"1:Z1"_s, u"2:И01-01 a"_s, u"1:Z2"_s, u"0:A02:Y"_s}},
                      LevelCase{"ShallowerLineClimbsToItsOwnLevel",
                                u"A00:X\n\tZ1\n\t\tИ01-01 a\nA01:Y\n\tZ2\n",
                                {u"0:A00:X"_s, u"1:Z1"_s, u"2:И01-01 a"_s, u"0:A01:Y"_s, u"1:Z2"_s}},
                      LevelCase{"IndentedFirstLineIsTopLevel",
                                u"\t\tA00:X\n\t\t\tZ1\n\t\tA01:Y\nA02:Z\n",
                                {u"0:A00:X"_s, u"1:Z1"_s, u"0:A01:Y"_s, u"0:A02:Z"_s}},
                      LevelCase{"BlankLinesCarryNoNode", u"A00:X\r\n\r\n\t\r\n\tZ1\r\n\r\n", {u"0:A00:X"_s, u"1:Z1"_s}},
                      LevelCase{"EmptyFile", u"", {}}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(ComplexFileTest, LineTwoLevelsDeeperFailsAndKeepsTheNodesReadBefore)
{
    CompositionTree tree;
    try {
        ComplexFile::parseInto(tree, u"A01:СКЛАД\n\tЦех 1\nA02:ЦЕХ\n\t\tИ01-05 Коридор\n\tЦех 2\n");
        FAIL() << "the level error must be raised";
    } catch (const ComplexFile::LevelError& error) {
        EXPECT_STREQ(error.what(), "Invalid level (2) for item \"И01-05 Коридор\"");
    }
    EXPECT_EQ(outline(tree), (QStringList{u"0:A01:СКЛАД"_s, u"1:Цех 1"_s, u"0:A02:ЦЕХ"_s}));
}

TEST(ComplexFileTest, SaveWritesTabsAndCrLfInWindows1251AndLoadsBack)
{
    TempFolder folder;
    CompositionTree tree;
    TreeNode* system = tree.add(nullptr, u"A01:СКЛАД"_s);
    TreeNode* zone = tree.add(system, u"Цех 1"_s);
    tree.add(zone, u"И01-05 Коридор"_s);
    tree.add(nullptr, u"A02:ОФИС"_s);
    ComplexFile::save(tree, folder.file(u"kirvanmonitorp.cnf"_s));
    EXPECT_EQ(folder.read(u"kirvanmonitorp.cnf"_s),
              testing::crlf1251(u"A01:СКЛАД\n\tЦех 1\n\t\tИ01-05 Коридор\nA02:ОФИС\n"_s));

    CompositionTree loaded;
    ASSERT_TRUE(ComplexFile::load(loaded, folder.file(u"KIRVANMONITORP.CNF"_s)));
    EXPECT_EQ(outline(loaded), outline(tree));
}

TEST(ComplexFileTest, LoadWithoutAFileKeepsTheTree)
{
    TempFolder folder;
    CompositionTree tree;
    tree.add(nullptr, u"A00:X"_s);
    EXPECT_FALSE(ComplexFile::load(tree, folder.file(u"kirvanmonitorp.cnf"_s)));
    EXPECT_EQ(tree.count(), 1);
}

TEST(ComplexFileTest, PutSystemAddsLinesAfterALastLineWithoutLineEnd)
{
    TempFolder folder;
    folder.write(u"k.cnf"_s, testing::crlf1251(u"A00:X\n\tZ"_s));
    ComplexFile::putSystem(folder.file(u"k.cnf"_s), {{0, u"A01:СКЛАД"_s}, {1, u"Цех 1"_s}});
    EXPECT_EQ(folder.read(u"k.cnf"_s), testing::crlf1251(u"A00:X\n\tZ\nA01:СКЛАД\n\tЦех 1\n"_s));
}

TEST(ComplexFileTest, PutSystemCreatesAMissingFile)
{
    TempFolder folder;
    ComplexFile::putSystem(folder.file(u"k.cnf"_s), {{0, u"A03:ДОМ"_s}});
    EXPECT_EQ(folder.read(u"k.cnf"_s), testing::crlf1251(u"A03:ДОМ\n"_s));
}

TEST(ComplexFileTest, PutSystemTwiceLeavesOneNodeInItsPlace)
{
    TempFolder folder;
    folder.write(u"k.cnf"_s, testing::crlf1251(u"A00:X\n\tZ\nA03:ДОМ\n\tСтарое\nA01:Y\n"_s));
    for (int run = 0; run < 2; ++run)
        ComplexFile::putSystem(folder.file(u"k.cnf"_s), {{0, u"A03:ДОМ"_s}, {1, u"Холл"_s}});
    EXPECT_EQ(folder.read(u"k.cnf"_s), testing::crlf1251(u"A00:X\n\tZ\nA01:Y\nA03:ДОМ\n\tХолл\n"_s));
}

TEST(ComplexFileTest, RemovalBesideADamagedLineKeepsEveryOtherByte)
{
    TempFolder folder;
    // The third line is two levels too deep: a load stops there, the file keeps the rest.
    const QByteArray before = QByteArray("A00:X\r\n\tZ\n\t\t\tDAMAGED \r\nA01:") + "\xd1\xca\xcb\xc0\xc4"
                              + "\r\n\t\x98\r\n\r\nA02:Y\r\n\tW";
    folder.write(u"k.cnf"_s, before);
    EXPECT_EQ(ComplexFile::systemsOnDisk(folder.file(u"k.cnf"_s)), QStringList({u"A00:X"_s, u"A01:СКЛАД"_s, u"A02:Y"_s}));
    EXPECT_TRUE(ComplexFile::removeSystem(folder.file(u"k.cnf"_s), u"A01:СКЛАД"_s));
    EXPECT_EQ(folder.read(u"k.cnf"_s), QByteArray("A00:X\r\n\tZ\n\t\t\tDAMAGED \r\nA02:Y\r\n\tW"));
    EXPECT_FALSE(ComplexFile::removeSystem(folder.file(u"k.cnf"_s), u"A01:СКЛАД"_s)) << "nothing left to remove";
}

TEST(ComplexFileTest, RefusedSaveRaisesTheWriteError)
{
    CompositionTree tree;
    tree.add(nullptr, u"A00:X"_s);
    EXPECT_THROW(ComplexFile::save(tree, u"/nonexistent-folder/kirvanmonitorp.cnf"_s), FileWriteError);
}

TEST(CompositionTreeTest, AbsoluteIndexFollowsTreeOrder)
{
    CompositionTree tree;
    TreeNode* a = tree.add(nullptr, u"A00:X"_s);
    TreeNode* b = tree.add(nullptr, u"A01:Y"_s);
    TreeNode* zone = tree.add(a, u"Z"_s); // added later, but stands before b
    EXPECT_EQ(tree.count(), 3);
    EXPECT_EQ(tree.absoluteIndexOf(zone), 1);
    EXPECT_EQ(tree.absoluteIndexOf(b), 2);
    EXPECT_EQ(tree.nodeAt(1), zone);
    EXPECT_EQ(tree.nodeAt(3), nullptr);
    EXPECT_EQ(zone->level(), 1);
    EXPECT_EQ(zone->parent(), a);
}

} // namespace
} // namespace kirvan
