#include "plans/MarkerName.h"

#include "config/CompositionTree.h"
#include "events/EventRecord.h"

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
    return QStringLiteral("SH") + record::chars(record, 1, 2) + record::chars(record, 5, 2) + record::chars(record, 8, 2);
}

QString ofDetectorNode(const TreeNode& detector)
{
    return QStringLiteral("SH") + grandparentAddress(detector) + detector.text().mid(1, 2) + detector.text().mid(4, 2);
}

QString recordOfDetectorNode(const TreeNode& detector)
{
    return grandparentAddress(detector) + u'/' + detector.text().left(6) + QStringLiteral("/XX");
}

} // namespace kirvan::markername
