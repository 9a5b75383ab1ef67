#include "complex/TreePopup.h"

#include "complex/CompositionTree.h"
#include "complex/StateIcon.h"
#include "complex/TreeSelection.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

using Item = TreePopup::Item;

class TreePopupTest : public ::testing::Test {
protected:
    TreePopupTest()
    {
        system = tree.add(nullptr, u"A00:СКЛАД"_s);
        zone = tree.add(system, u"Цех"_s);
        detector = tree.add(zone, u"И11-01 окно"_s);
        tree.setPicture(*detector, stateicon::detectorOn);
        tree.setOnSelectionChanged([this](TreeNode* node) { selection.treeSelectionChanged(node); });
    }

    // The visible items of treeMenu, in menu order, as a row of 0 and 1.
    std::string row() const
    {
        std::string shown;
        for (int i = 0; i < TreePopup::itemCount; ++i)
            shown += popup.visible(static_cast<Item>(i)) ? '1' : '0';
        return shown;
    }

    CompositionTree tree;
    TreeNode* system;
    TreeNode* zone;
    TreeNode* detector;
    TreePopup popup;
    TreeSelection selection{popup};
};

// Items: Контроль, Отключить звук системы, Модуль управления, Включить, Выключить, На охрану, Снять,
// separator, Показать, Скрыть, separator, Имитировать отказ, Имитировать пожар.
TEST_F(TreePopupTest, ShowsTheItemsOfTheSelectedNodesLevel)
{
    tree.select(system);
    EXPECT_EQ(row(), "1100000000100");
    tree.select(zone);
    EXPECT_EQ(row(), "1110000111100");
    tree.select(detector);
    EXPECT_EQ(row(), "1111100111111");
}

TEST_F(TreePopupTest, ArmingShowsOnlyForASecurityDetectorSwitchedOn)
{
    tree.setPicture(*detector, stateicon::securityOn);
    tree.select(detector);
    EXPECT_TRUE(popup.visible(Item::Arm));
    EXPECT_TRUE(popup.visible(Item::Disarm));
    for (const int other : {stateicon::securityOff, stateicon::armed, stateicon::fire}) {
        tree.setPicture(*detector, other);
        tree.select(detector);
        EXPECT_FALSE(popup.visible(Item::Arm)) << other;
        EXPECT_FALSE(popup.visible(Item::Disarm)) << other;
    }
}

// At a detector the item edits the module of the detector's zone, whatever was selected before.
TEST_F(TreePopupTest, TheControlModuleItemShowsAtADetectorAfterAnyNode)
{
    for (TreeNode* before : {system, zone, detector}) {
        tree.select(before);
        tree.select(detector);
        EXPECT_TRUE(popup.visible(Item::ModulControl));
    }
}

TEST_F(TreePopupTest, TheNormalModeLeavesTheAssignedMenuAlone)
{
    tree.select(detector);
    EXPECT_EQ(popup.menu(), TreePopup::Menu::None);
    popup.assignNormalMenu();
    tree.select(zone);
    EXPECT_EQ(popup.menu(), TreePopup::Menu::treeMenu);
}

TEST_F(TreePopupTest, PlanEditModeGivesThePlanMenusByLevel)
{
    popup.assignNormalMenu();
    tree.select(zone);
    const std::string before = row();
    popup.setPlanEditMode(true);
    tree.select(detector);
    EXPECT_EQ(popup.menu(), TreePopup::Menu::markerMenu);
    tree.select(system);
    EXPECT_EQ(popup.menu(), TreePopup::Menu::planMenu);
    tree.select(zone);
    EXPECT_EQ(popup.menu(), TreePopup::Menu::planMenu);
    EXPECT_EQ(row(), before) << "treeMenu is not touched meanwhile";
}

TEST_F(TreePopupTest, ANodeBelowTheDetectorsGetsTheSystemCommandsOnly)
{
    TreeNode* deeper = tree.add(detector, u"глубже"_s);
    tree.select(deeper);
    EXPECT_EQ(row(), "1100000000100");
    popup.setPlanEditMode(true);
    tree.select(deeper);
    EXPECT_EQ(popup.menu(), TreePopup::Menu::None);
}

TEST_F(TreePopupTest, ReportsChangesOnly)
{
    int changes = 0;
    popup.setOnChanged([&] { ++changes; });
    tree.select(zone);
    EXPECT_EQ(changes, 1);
    tree.select(zone);
    EXPECT_EQ(changes, 1);
}

TEST_F(TreePopupTest, TheSelectionShowsThePlanBeforeThePopUp)
{
    std::vector<const TreeNode*> planned;
    selection.setPlanDisplay([&](const TreeNode& node) {
        planned.push_back(&node);
        EXPECT_EQ(row(), "1111111111111") << "the pop-up is set after the plan";
    });
    tree.select(zone);
    EXPECT_EQ(planned, std::vector<const TreeNode*>{zone});
    tree.select(nullptr);
    EXPECT_EQ(planned.size(), 1u) << "no node, nothing to show";
}

} // namespace
} // namespace kirvan
