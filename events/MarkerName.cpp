#include "events/MarkerName.h"

#include "complex/CompositionTree.h"
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

QString of(QStringView address, QStringView detectorId)
{
    QString name = QStringLiteral("SH");
    name.append(address).append(detectorId.mid(1, 2)).append(detectorId.mid(4, 2));
    return name;
}

QString ofRecord(const QString& record)
{
    return of(record::address(record), record::detectorId(record));
}

QString ofDetectorNode(const TreeNode& detector)
{
    return of(grandparentAddress(detector), QStringView(detector.text()).left(6));
}

QString recordOfDetectorNode(const TreeNode& detector)
{
    return grandparentAddress(detector) + u'/' + detector.text().left(6) + QStringLiteral("/XX");
}

} // namespace kirvan::markername
