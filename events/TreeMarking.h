#pragma once

#include "config/CompositionTree.h"

#include <QString>
#include <vector>

namespace kirvan {

// State pictures of the composition tree (indices of the shared picture list).
namespace stateicon {
inline constexpr int securityOn = 13;
inline constexpr int securityOff = 14;
inline constexpr int detectorOn = 15;
inline constexpr int detectorOff = 16;
inline constexpr int fire = 17;
inline constexpr int fault = 19;
inline constexpr int systemNoLink = 23;
inline constexpr int systemFault = 24;
inline constexpr int systemFire = 25;
inline constexpr int armed = 26;
inline constexpr int technology = 27;
} // namespace stateicon

// The absolute index of the detector node the record names: a node at level 2 whose caption
// begins with characters 4-9 of the record, under a system node whose characters 2-3 are the
// record's address. The first in tree order; -1 when there is none.
qsizetype FindDetectorNode(const CompositionTree& tree, const QString& record);

// The system nodes (top level) whose characters 2-3 are the address, in tree order.
std::vector<TreeNode*> systemNodes(const CompositionTree& tree, const QString& address);

} // namespace kirvan
