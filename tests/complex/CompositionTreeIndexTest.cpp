#include "complex/ComplexFile.h"
#include "complex/CompositionTree.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

// Events find their detector's node through an index kept with the tree; every change of the
// nodes must reach it, or an alarm marks a node of a removed system (freed memory) or none.
class CompositionTreeIndexTest : public ::testing::Test {
protected:
    CompositionTreeIndexTest()
    {
        ComplexFile::parseInto(tree, u"A00:ОФИС\n\tЗ\n\t\tИ01-05 a\n"
                                     u"A01:СКЛАД\n\tЗ\n\t\tИ01-05 b\n"
                                     u"A01:ДУБЛЬ\n\tЗ\n\t\tИ01-05 c\n\t\tИ01-06 d\n"_s);
    }

    TreeNode* addSystem(const QString& text, const QStringList& detectors)
    {
        TreeNode* system = tree.add(nullptr, text);
        TreeNode* zone = tree.add(system, u"З"_s);
        for (const QString& detector : detectors)
            tree.add(zone, detector);
        return system;
    }

    QString found(const QString& address, const QString& detectorId) const
    {
        const TreeNode* node = tree.detectorNode(address, detectorId);
        return node ? node->text() : u"-"_s;
    }

    CompositionTree tree;
};

TEST_F(CompositionTreeIndexTest, FollowsEveryChangeOfTheNodes)
{
    ASSERT_EQ(found(u"01"_s, u"И01-05"_s), u"И01-05 b"_s) << "the first of two systems with one address";

    // Removed: its detectors are gone, and the later system of the same address takes over.
    tree.remove(tree.topLevel()[1].get());
    EXPECT_EQ(found(u"01"_s, u"И01-05"_s), u"И01-05 c"_s);
    EXPECT_EQ(found(u"00"_s, u"И01-05"_s), u"И01-05 a"_s);

    // Added before a node already indexed under the same key: tree order decides, not age.
    addSystem(u"A01:НОВАЯ"_s, {u"И01-07 e"_s});
    ASSERT_EQ(found(u"01"_s, u"И01-07"_s), u"И01-07 e"_s);
    TreeNode* duplicateZone = tree.topLevel()[1]->children()[0].get();
    tree.add(duplicateZone, u"И01-07 f"_s);
    EXPECT_EQ(found(u"01"_s, u"И01-07"_s), u"И01-07 f"_s);

    // Reloaded: only the new nodes are found.
    ComplexFile::parseInto(tree, u"A02:ЦЕХ\n\tЗ\n\t\tИ01-05 g\n"_s);
    EXPECT_EQ(found(u"00"_s, u"И01-05"_s), u"-"_s);
    EXPECT_EQ(found(u"01"_s, u"И01-05"_s), u"-"_s);
    EXPECT_EQ(found(u"02"_s, u"И01-05"_s), u"И01-05 g"_s);
}

TEST_F(CompositionTreeIndexTest, OnlyDetectorsUnderAZoneUnderASystemAreFound)
{
    // A zone whose caption looks like a detector is not one.
    addSystem(u"A03:ЗАЛ"_s, {});
    tree.add(tree.topLevel().back().get(), u"И01-05 зона"_s);
    EXPECT_EQ(found(u"03"_s, u"И01-05"_s), u"-"_s);
    EXPECT_EQ(found(u"03"_s, u""_s), u"-"_s);
}

} // namespace
} // namespace kirvan
