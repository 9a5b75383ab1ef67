#include "complex/CompositionTree.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

QStringList texts(const CompositionTree& tree)
{
    QStringList all;
    tree.walk([&](TreeNode& node) {
        all << node.text();
        return true;
    });
    return all;
}

class CompositionTreeRemovalTest : public ::testing::Test {
protected:
    CompositionTreeRemovalTest()
    {
        first = tree.add(nullptr, u"A00:ПЕРВАЯ"_s);
        zone = tree.add(first, u"Цех"_s);
        detector = tree.add(zone, u"И11-01"_s);
        second = tree.add(nullptr, u"A01:ВТОРАЯ"_s);
        tree.add(second, u"Склад"_s);
        tree.setOnSelectionChanged([this](TreeNode*) { ++handlerRuns; });
    }

    CompositionTree tree;
    TreeNode* first;
    TreeNode* zone;
    TreeNode* detector;
    TreeNode* second;
    int handlerRuns = 0;
};

TEST_F(CompositionTreeRemovalTest, RemovingANodeTakesItsSubtreeAndMovesTheNextIntoItsIndex)
{
    tree.remove(first);
    EXPECT_EQ(texts(tree), (QStringList{u"A01:ВТОРАЯ"_s, u"Склад"_s}));
    EXPECT_EQ(tree.nodeAt(0), second);
}

TEST_F(CompositionTreeRemovalTest, RemovingAnInnerNodeKeepsItsSiblingsAndParent)
{
    tree.remove(zone);
    EXPECT_EQ(texts(tree), (QStringList{u"A00:ПЕРВАЯ"_s, u"A01:ВТОРАЯ"_s, u"Склад"_s}));
}

TEST_F(CompositionTreeRemovalTest, RemovingTheSelectedNodesAncestorDropsTheSelection)
{
    tree.select(detector);
    tree.remove(first);
    EXPECT_EQ(tree.selected(), nullptr);
    EXPECT_EQ(handlerRuns, 1) << "dropped as on clearing, without the handler";
}

TEST_F(CompositionTreeRemovalTest, RemovingAnotherSubtreeKeepsTheSelection)
{
    tree.select(detector);
    tree.remove(second);
    EXPECT_EQ(tree.selected(), detector);
}

} // namespace
} // namespace kirvan
