#include "plans/MarkerName.h"

#include "config/CompositionTree.h"
#include "events/EventRecord.h"
#include "events/MarkerName.h"

namespace kirvan::markername {

namespace {

QString grandparentAddress(const TreeNode& detector)
{
    const TreeNode* zone = detector.parent();
    const TreeNode* system = zone ? zone->parent() : nullptr;
    return system ? system->text().mid(1, 2) : QString();
}

} // namespace

QString ofRecord(const QString& record)
{
    return markerName(record::address(record), record::detectorId(record));
}

QString ofDetectorNode(const TreeNode& detector)
{
    return markerName(grandparentAddress(detector), QStringView(detector.text()).left(6));
}

QString recordOfDetectorNode(const TreeNode& detector)
{
    return grandparentAddress(detector) + u'/' + detector.text().left(6) + QStringLiteral("/XX");
}

} // namespace kirvan::markername
