#pragma once

#include <QHash>
#include <QString>
#include <QStringView>
#include <functional>
#include <memory>
#include <vector>

namespace kirvan {

// One node of the composition tree: a system, a zone or a detector, by its level.
class TreeNode {
public:
    // Fixed for the node's life: the tree's detector index is built from it.
    const QString& text() const { return text_; }
    int imageIndex() const { return imageIndex_; }

    TreeNode* parent() const { return parent_; }
    int level() const;
    const std::vector<std::unique_ptr<TreeNode>>& children() const { return children_; }

private:
    friend class CompositionTree;
    explicit TreeNode(TreeNode* parent, QString text) : parent_(parent), text_(std::move(text)) {}
    // The view shows the same picture for a selected node.
    void setPicture(int stateIcon) { imageIndex_ = stateIcon; }

    TreeNode* parent_;
    QString text_;
    int imageIndex_ = 0;
    std::vector<std::unique_ptr<TreeNode>> children_;
};

// The complex as systems, zones and detectors. Nodes are also addressed by absolute index:
// their position when the tree is walked in order, each node followed by its subtree.
class CompositionTree {
public:
    // Appends a node as the last child of `parent`, or as the last top-level node.
    TreeNode* add(TreeNode* parent, QString text);
    // Deletes the node with its whole subtree. A selection inside it is dropped without running
    // the selection handler, as when the tree is cleared.
    void remove(TreeNode* node);
    void clear();

    const std::vector<std::unique_ptr<TreeNode>>& topLevel() const { return topLevel_; }
    qsizetype count() const;
    // nullptr when the index is out of range.
    TreeNode* nodeAt(qsizetype absoluteIndex) const;
    // -1 for a node not in this tree.
    qsizetype absoluteIndexOf(const TreeNode* node) const;
    // Visits every node in tree order; the visitor returns false to stop.
    void walk(const std::function<bool(TreeNode&)>& visit) const;

    // The detector node (level 2) whose caption begins with `detectorId`, under a system node
    // whose characters 2-3 are `address`; the first in tree order; nullptr when there is none.
    // A lookup in an index that every add, remove and clear renews, so events find their node
    // in the same time at any size of the complex.
    TreeNode* detectorNode(QStringView address, QStringView detectorId) const;

    // The selected node, which commands take as their target; nullptr when none.
    TreeNode* selected() const { return selected_; }
    // Selects a node and runs the selection handler (the plan of the node is shown then).
    void select(TreeNode* node);
    void setOnSelectionChanged(std::function<void(TreeNode*)> handler) { onSelectionChanged_ = std::move(handler); }
    // Runs after a node's picture changed, for the view.
    void setPicture(TreeNode& node, int stateIcon);
    void setOnPictureChanged(std::function<void(TreeNode&)> handler) { onPictureChanged_ = std::move(handler); }

private:
    using DetectorKey = std::pair<QString, QString>; // address, detector id
    void indexDetectors() const;

    std::vector<std::unique_ptr<TreeNode>> topLevel_;
    // Built at the first lookup after a change of the nodes; one walk of the tree.
    mutable QHash<DetectorKey, TreeNode*> detectors_;
    mutable bool detectorsIndexed_ = false;
    TreeNode* selected_ = nullptr;
    std::function<void(TreeNode*)> onSelectionChanged_;
    std::function<void(TreeNode&)> onPictureChanged_;
};

} // namespace kirvan
