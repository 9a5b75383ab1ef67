#pragma once

#include <QAbstractItemModel>

namespace kirvan {

class CompositionTree;
class TreeNode;

// The composition tree for the tree view; node pictures from the shared state pictures.
class CompositionTreeModel final : public QAbstractItemModel {
public:
    explicit CompositionTreeModel(CompositionTree& tree, QObject* parent = nullptr);

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    QModelIndex indexOf(const TreeNode* node) const;
    static TreeNode* nodeAt(const QModelIndex& index);

    // The nodes are about to be replaced: until reload() the model shows no nodes, so that no
    // view keeps an index of a node that is freed meanwhile.
    void detach();
    // The nodes were replaced or removed; the model shows the tree again.
    void reload();
    void pictureChanged(const TreeNode& node);

private:
    CompositionTree& tree_;
    bool detached_ = false;
};

} // namespace kirvan
