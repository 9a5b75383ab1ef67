#include "window/CompositionTreeModel.h"

#include "complex/CompositionTree.h"
#include "icons/StateIcons.h"

#include <algorithm>

namespace kirvan {

namespace {

const std::vector<std::unique_ptr<TreeNode>>& siblingsOf(const CompositionTree& tree, const TreeNode* node)
{
    return node->parent() ? node->parent()->children() : tree.topLevel();
}

int rowOf(const CompositionTree& tree, const TreeNode* node)
{
    const auto& siblings = siblingsOf(tree, node);
    const auto found = std::find_if(siblings.begin(), siblings.end(),
                                    [node](const auto& sibling) { return sibling.get() == node; });
    return static_cast<int>(found - siblings.begin());
}

} // namespace

CompositionTreeModel::CompositionTreeModel(CompositionTree& tree, QObject* parent)
    : QAbstractItemModel(parent), tree_(tree)
{}

TreeNode* CompositionTreeModel::nodeAt(const QModelIndex& index)
{
    return static_cast<TreeNode*>(index.internalPointer());
}

QModelIndex CompositionTreeModel::index(int row, int column, const QModelIndex& parent) const
{
    if (detached_)
        return {};
    const auto& children = parent.isValid() ? nodeAt(parent)->children() : tree_.topLevel();
    if (column != 0 || row < 0 || row >= static_cast<int>(children.size()))
        return {};
    return createIndex(row, 0, children[static_cast<std::size_t>(row)].get());
}

QModelIndex CompositionTreeModel::parent(const QModelIndex& child) const
{
    if (!child.isValid())
        return {};
    return indexOf(nodeAt(child)->parent());
}

QModelIndex CompositionTreeModel::indexOf(const TreeNode* node) const
{
    if (!node || detached_)
        return {};
    return createIndex(rowOf(tree_, node), 0, node);
}

int CompositionTreeModel::rowCount(const QModelIndex& parent) const
{
    if (parent.column() > 0 || detached_)
        return 0;
    return static_cast<int>(parent.isValid() ? nodeAt(parent)->children().size() : tree_.topLevel().size());
}

int CompositionTreeModel::columnCount(const QModelIndex&) const
{
    return 1;
}

QVariant CompositionTreeModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const TreeNode* node = nodeAt(index);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return node->text();
    case Qt::DecorationRole:
        return stateIcon(node->imageIndex());
    default:
        return {};
    }
}

void CompositionTreeModel::detach()
{
    beginResetModel();
    detached_ = true;
    endResetModel();
}

void CompositionTreeModel::reload()
{
    beginResetModel();
    detached_ = false;
    endResetModel();
}

void CompositionTreeModel::pictureChanged(const TreeNode& node)
{
    if (detached_)
        return;
    const QModelIndex index = indexOf(&node);
    Q_EMIT dataChanged(index, index, {Qt::DecorationRole});
}

} // namespace kirvan
