#pragma once

#include "complex/CompositionTree.h"
#include "complex/StateIcon.h"

#include <QString>
#include <utility>
#include <vector>

namespace kirvan {

// The absolute index of the detector node the record names: a node at level 2 whose caption
// begins with characters 4-9 of the record, under a system node whose characters 2-3 are the
// record's address. The first in tree order; -1 when there is none.
qsizetype findDetectorNode(const CompositionTree& tree, const QString& record);
// The same node itself, or nullptr.
TreeNode* detectorNode(const CompositionTree& tree, const QString& record);

// The system nodes (top level) whose characters 2-3 are the address, in tree order.
std::vector<TreeNode*> systemNodes(const CompositionTree& tree, const QString& address);

// A tree read anew shows the alarms it showed (record and Annunciation level, oldest first):
// each detector its latest alarm, each system fire or fault. Returns the detector of the first
// fire, which the display belongs to, or nullptr.
TreeNode* markAlarms(CompositionTree& tree, const std::vector<std::pair<QString, int>>& alarms);

} // namespace kirvan
