#include "complex/TreeSelection.h"

#include "complex/TreePopup.h"

namespace kirvan {

void TreeSelection::treeSelectionChanged(const TreeNode* node)
{
    if (!node)
        return;
    if (planDisplay_)
        planDisplay_(*node);
    popup_.showFor(*node);
}

} // namespace kirvan
