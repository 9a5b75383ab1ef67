#include "events/TreeMarking.h"

#include "events/EventServices.h"

namespace kirvan {

namespace {
QString nodeAddress(const TreeNode& systemNode)
{
    return systemNode.text().mid(1, 2);
}
} // namespace

TreeNode* detectorNode(const CompositionTree& tree, const QString& record)
{
    return tree.detectorNode(QStringView(record).left(2), QStringView(record).mid(3, 6));
}

qsizetype findDetectorNode(const CompositionTree& tree, const QString& record)
{
    const TreeNode* node = detectorNode(tree, record);
    return node ? tree.absoluteIndexOf(node) : -1;
}

std::vector<TreeNode*> systemNodes(const CompositionTree& tree, const QString& address)
{
    std::vector<TreeNode*> nodes;
    for (const auto& node : tree.topLevel())
        if (nodeAddress(*node) == address)
            nodes.push_back(node.get());
    return nodes;
}

TreeNode* markAlarms(CompositionTree& tree, const std::vector<std::pair<QString, int>>& alarms)
{
    TreeNode* firstFire = nullptr;
    for (const auto& [record, level] : alarms) {
        TreeNode* detector = detectorNode(tree, record);
        if (!detector)
            continue;
        TreeNode& system = *detector->parent()->parent();
        switch (level) {
        case Annunciation::Fire:
            tree.setPicture(*detector, stateicon::fire);
            tree.setPicture(system, stateicon::systemFire);
            if (!firstFire)
                firstFire = detector;
            break;
        case Annunciation::Technology:
            tree.setPicture(*detector, stateicon::technology);
            tree.setPicture(system, stateicon::systemFire);
            break;
        default:
            tree.setPicture(*detector, stateicon::fault);
            if (system.imageIndex() != stateicon::systemFire)
                tree.setPicture(system, stateicon::systemFault);
            break;
        }
    }
    return firstFire;
}

} // namespace kirvan
