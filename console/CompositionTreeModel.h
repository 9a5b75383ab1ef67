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

    // The nodes were replaced or removed.
    void reload();
    void pictureChanged(const TreeNode& node);

private:
    CompositionTree& tree_;
};

} // namespace kirvan
