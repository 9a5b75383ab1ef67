#include "complex/TreePopup.h"

#include "complex/CompositionTree.h"
#include "complex/StateIcon.h"

namespace kirvan {

namespace {

using Item = TreePopup::Item;
using Items = std::array<bool, TreePopup::itemCount>;

void show(Items& items, std::initializer_list<Item> shown)
{
    for (const Item item : shown)
        items[static_cast<std::size_t>(item)] = true;
}

// treeMenu by the node's level. Commands of the whole system apply to every node; the
// detector's own commands only to a detector, arming only to a security detector switched on.
// Control modules belong to zones; at a detector "Модуль управления" edits its zone's module.
Items itemsFor(const TreeNode& node)
{
    Items items{};
    show(items, {Item::Control, Item::SoundOff, Item::SecondSeparator});
    switch (node.level()) {
    case 1:
        show(items, {Item::ModulControl, Item::FirstSeparator, Item::ShowOnPlan, Item::HideOnPlan});
        break;
    case 2:
        show(items, {Item::ModulControl, Item::DetectorOn, Item::DetectorOff, Item::FirstSeparator, Item::ShowOnPlan,
                     Item::HideOnPlan, Item::SimulateFault, Item::SimulateFire});
        if (node.imageIndex() == stateicon::securityOn)
            show(items, {Item::Arm, Item::Disarm});
        break;
    default: // a system, or a node below the detectors: the commands of the whole system only
        break;
    }
    return items;
}

TreePopup::Menu editMenuFor(const TreeNode& node)
{
    switch (node.level()) {
    case 0:
    case 1:
        return TreePopup::Menu::planMenu;
    case 2:
        return TreePopup::Menu::markerMenu;
    default:
        return TreePopup::Menu::None;
    }
}

} // namespace

void TreePopup::assignNormalMenu()
{
    setMenu(Menu::treeMenu);
}

void TreePopup::showFor(const TreeNode& node)
{
    if (planEditMode_) {
        setMenu(editMenuFor(node));
        return;
    }
    const Items items = itemsFor(node);
    if (items != visible_) {
        visible_ = items;
        changed();
    }
}

void TreePopup::setMenu(Menu menu)
{
    if (menu != menu_) {
        menu_ = menu;
        changed();
    }
}

void TreePopup::changed()
{
    if (onChanged_)
        onChanged_();
}

} // namespace kirvan
