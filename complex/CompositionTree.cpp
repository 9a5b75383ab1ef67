#include "complex/CompositionTree.h"

namespace kirvan {

int TreeNode::level() const
{
    int level = 0;
    for (const TreeNode* up = parent_; up; up = up->parent_)
        ++level;
    return level;
}

TreeNode* CompositionTree::add(TreeNode* parent, QString text)
{
    auto& siblings = parent ? parent->children_ : topLevel_;
    detectorsIndexed_ = false;
    siblings.push_back(std::unique_ptr<TreeNode>(new TreeNode(parent, std::move(text))));
    return siblings.back().get();
}

void CompositionTree::remove(TreeNode* node)
{
    for (const TreeNode* up = selected_; up; up = up->parent_) {
        if (up == node) {
            selected_ = nullptr;
            break;
        }
    }
    auto& siblings = node->parent_ ? node->parent_->children_ : topLevel_;
    detectorsIndexed_ = false;
    std::erase_if(siblings, [node](const std::unique_ptr<TreeNode>& sibling) { return sibling.get() == node; });
}

void CompositionTree::clear()
{
    topLevel_.clear();
    selected_ = nullptr;
    detectorsIndexed_ = false;
}

void CompositionTree::select(TreeNode* node)
{
    selected_ = node;
    if (onSelectionChanged_)
        onSelectionChanged_(node);
}

void CompositionTree::setPicture(TreeNode& node, int stateIcon)
{
    node.setPicture(stateIcon);
    if (onPictureChanged_)
        onPictureChanged_(node);
}

namespace {
bool walkNodes(const std::vector<std::unique_ptr<TreeNode>>& nodes, const std::function<bool(TreeNode&)>& visit)
{
    for (const auto& node : nodes) {
        if (!visit(*node) || !walkNodes(node->children(), visit))
            return false;
    }
    return true;
}
} // namespace

void CompositionTree::walk(const std::function<bool(TreeNode&)>& visit) const
{
    walkNodes(topLevel_, visit);
}

namespace {
QString systemAddress(const TreeNode& system)
{
    return system.text().mid(1, 2);
}
} // namespace

void CompositionTree::indexDetectors() const
{
    detectors_.clear();
    for (const auto& system : topLevel_) {
        const QString address = systemAddress(*system);
        for (const auto& zone : system->children())
            for (const auto& detector : zone->children()) {
                // Walked in tree order, so the first of equal captions keeps its place.
                DetectorKey key{address, detector->text().left(6)};
                if (!detectors_.contains(key))
                    detectors_.insert(std::move(key), detector.get());
            }
    }
    detectorsIndexed_ = true;
}

TreeNode* CompositionTree::detectorNode(QStringView address, QStringView detectorId) const
{
    if (!detectorsIndexed_)
        indexDetectors();
    return detectors_.value(DetectorKey{address.toString(), detectorId.toString()}, nullptr);
}

qsizetype CompositionTree::count() const
{
    qsizetype count = 0;
    walk([&](TreeNode&) {
        ++count;
        return true;
    });
    return count;
}

TreeNode* CompositionTree::nodeAt(qsizetype absoluteIndex) const
{
    TreeNode* found = nullptr;
    qsizetype index = 0;
    walk([&](TreeNode& node) {
        if (index++ == absoluteIndex)
            found = &node;
        return found == nullptr;
    });
    return found;
}

qsizetype CompositionTree::absoluteIndexOf(const TreeNode* node) const
{
    qsizetype index = 0;
    bool found = false;
    walk([&](TreeNode& candidate) {
        found = &candidate == node;
        if (!found)
            ++index;
        return !found;
    });
    return found ? index : -1;
}

} // namespace kirvan
