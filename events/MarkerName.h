#pragma once

#include <QString>
#include <QStringView>

namespace kirvan {

class TreeNode;

// Marker names: "SH" (Latin), the two-digit system address, the two digits that follow "И" in the
// DetectorId and the two-digit detector number, e.g. SH011205 for И12-05 of system 01.
namespace markername {

// From a system address and a detector id ("И12-05").
QString of(QStringView address, QStringView detectorId);
// From a record: its characters 1-2, 5-6 and 8-9.
QString ofRecord(const QString& record);
// From a detector node: its grandparent's characters 2-3, its own 2-3 and 5-6.
QString ofDetectorNode(const TreeNode& detector);
// The record of a detector node for the marker operations: grandparent's characters 2-3, "/",
// the node's characters 1-6 and a code never handed to event processing.
QString recordOfDetectorNode(const TreeNode& detector);

} // namespace markername
} // namespace kirvan
