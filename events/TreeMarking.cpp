#include "events/TreeMarking.h"

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

qsizetype FindDetectorNode(const CompositionTree& tree, const QString& record)
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

} // namespace kirvan
