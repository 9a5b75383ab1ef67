#pragma once

#include <functional>

namespace kirvan {

class TreeNode;
class TreePopup;

// The selection handler of the composition tree: the selected node decides the plan on screen
// and the tree's pop-up menu. It runs for every change of the selected node and when plan edit
// mode is switched on.
class TreeSelection {
public:
    // Shows the plan of the node's system (system node) or zone (zone and detector nodes), its
    // title, currentPlan and the markers; provided by the plan display.
    using PlanDisplay = std::function<void(const TreeNode& node)>;

    explicit TreeSelection(TreePopup& popup) : popup_(popup) {}

    void setPlanDisplay(PlanDisplay display) { planDisplay_ = std::move(display); }

    // No node selected: nothing to show.
    void treeSelectionChanged(const TreeNode* node);

private:
    TreePopup& popup_;
    PlanDisplay planDisplay_;
};

} // namespace kirvan
