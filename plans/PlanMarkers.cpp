#include "plans/PlanMarkers.h"

#include "complex/DetectorFile.h"
#include "files/IniFile.h"
#include "files/PathCase.h"
#include "files/SettingsFile.h"
#include "events/EventRecord.h"
#include "events/MarkerName.h"
#include "plans/PlanArea.h"
#include "plans/ZonePlan.h"

#include <QFileInfo>
#include <cmath>
#include <limits>

namespace kirvan {

namespace {

// The stored place "X" or "Y" is the picture's size divided by the pointer's position. Nothing
// for a detector without a place: a missing or negative value, or one that gives no pixel (zero
// would divide by zero). Rounded: the division rarely gives back the placed pixel exactly, and
// truncating would move a marker a pixel up or left of where it was put.
std::optional<int> placeFromStored(int pictureExtent, double stored)
{
    const double pixel = std::round(pictureExtent / stored);
    if (!std::isfinite(pixel) || pixel < 0 || pixel > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(pixel);
}

std::optional<QPoint> placeIn(QSize picture, QPointF stored)
{
    const std::optional<int> left = placeFromStored(picture.width(), stored.x());
    const std::optional<int> top = placeFromStored(picture.height(), stored.y());
    if (!left || !top)
        return std::nullopt;
    return QPoint(*left, *top);
}

} // namespace

PlanMarkers::PlanMarkers(const SettingsFile& settings, IniStore& store, const PlanArea& area)
    : settings_(settings), store_(store), area_(area)
{}

bool PlanMarkers::hasMarker(const QString& record) const
{
    return find(markername::ofRecord(record)) != nullptr;
}

bool PlanMarkers::paint(const QString& record, Rgb colour, bool blink)
{
    const QString systemFile = settings_.systemFile(record::address(record));
    if (systemFile.isEmpty() || !QFileInfo::exists(resolvePathCase(systemFile)))
        return false;
    const QString name = markername::ofRecord(record);
    if (PlanMarker* marker = findMutable(name)) {
        const bool shown = marker->visible;
        marker->Blink = blink;
        marker->colour = colour;
        // The blink may have just hidden it; with blinking over nothing would show it again.
        if (!blink && marker->Plane == area_.currentPlan())
            marker->visible = true;
        // Under a flood most alarms are on plans not shown: they repaint nothing.
        if (shown || marker->visible)
            changed(marker);
        return false;
    }
    const QString id = record::detectorId(record);
    const IniFile detectorFile(store_, detectorFilePath(systemFile, record::at(record, 5)));
    const QPointF stored(detectorFile.readFloat(id, detectorfile::keyX, -1),
                         detectorFile.readFloat(id, detectorfile::keyY, -1));
    const std::optional<QPoint> position = placeIn(area_.size(), stored);
    if (!position)
        return false;

    auto marker = std::make_unique<PlanMarker>();
    marker->name = name;
    // A switched-off detector shows white, so the operator sees it is off; but a fire, a
    // technology alarm or a fault is never white on a white plan.
    const bool switchedOff = detectorFile.readString(id, detectorfile::keyState, QStringLiteral("ВЫКЛ")) == u"ВЫКЛ";
    marker->colour = switchedOff && colour == colours::green ? colours::white : colour;
    marker->shape = detectorFile.readString(id, detectorfile::keyType, {}) == detectorfile::typeSecurity
                        ? PlanMarker::Shape::Square
                        : PlanMarker::Shape::Circle;
    marker->Blink = blink;
    marker->position = *position;
    marker->stored = stored;
    marker->hint = QStringLiteral("A") + record::address(record) + u'/' + id + u' '
                   + detectorFile.readString(id, detectorfile::keyText, {});
    marker->pressHandler = true;
    // A detector whose zone is not among the system's zones belongs to no plan and stays visible.
    const QString plane = planOf(systemFile, detectorFile.readString(id, detectorfile::keyZone, {}));
    if (!plane.isNull()) {
        marker->Plane = plane;
        marker->visible = plane == area_.currentPlan();
    }
    const PlanMarker* added = marker.get();
    add(std::move(marker));
    if (added->visible)
        changed(added);
    return true;
}

QString PlanMarkers::planOf(const QString& systemFile, const QString& zone) const
{
    const int n = zoneplan::zoneNumber(store_, systemFile, zone);
    if (n == 0)
        return {};
    // A zone without a plan picture: its markers belong to no plan that can be shown.
    return IniFile(store_, systemFile).readString(systemfile::sectionZonePlans, QString::number(n), QStringLiteral("-"));
}

void PlanMarkers::place(const QString& name, QPoint at, QPointF stored, const QString& hint, const QString& plane)
{
    auto marker = std::make_unique<PlanMarker>();
    marker->name = name;
    marker->colour = colours::green;
    marker->position = at;
    marker->stored = stored;
    marker->hint = hint;
    marker->Plane = plane;
    add(std::move(marker));
    changed();
}

void PlanMarkers::placeAgain()
{
    for (const auto& marker : markers_)
        if (const std::optional<QPoint> position = placeIn(area_.size(), marker->stored))
            marker->position = *position;
    changed();
}

void PlanMarkers::showPlan(const QString& plan)
{
    bool any = false;
    for (const auto& marker : markers_) {
        any = any || marker->visible != (marker->Plane == plan);
        marker->visible = marker->Plane == plan;
    }
    if (any)
        changed();
}

void PlanMarkers::blinkMarkers()
{
    bool any = false;
    for (const auto& marker : markers_) {
        if (marker->Blink && marker->Plane == area_.currentPlan()) {
            marker->visible = !marker->visible;
            any = true;
        }
    }
    if (any)
        changed();
}

void PlanMarkers::stopMarkerBlinking()
{
    for (const auto& marker : markers_) {
        marker->Blink = false;
        if (marker->Plane == area_.currentPlan())
            marker->visible = true;
    }
    changed();
}

void PlanMarkers::removeAllMarkers()
{
    while (!markers_.empty())
        markers_.pop_back();
    byName_.clear();
    changed();
}

void PlanMarkers::removeMarkersExcept(const std::set<QString>& kept)
{
    std::erase_if(markers_, [&kept](const auto& marker) { return !kept.count(marker->name); });
    indexAgain();
    changed();
}

void PlanMarkers::removeMarker(const QString& markerName)
{
    const auto doomed = std::find_if(markers_.begin(), markers_.end(),
                                     [&](const auto& marker) { return marker->name == markerName; });
    if (doomed == markers_.end())
        return;
    markers_.erase(doomed);
    indexAgain();
    changed();
}

// A flood looks up a marker per event among every detector of the complex that has one.
const PlanMarker* PlanMarkers::find(const QString& name) const
{
    return byName_.value(name, nullptr);
}

void PlanMarkers::add(std::unique_ptr<PlanMarker> marker)
{
    index(marker.get());
    markers_.push_back(std::move(marker));
}

// The first of markers of one name is the one found, as it was made first.
void PlanMarkers::index(PlanMarker* marker)
{
    if (!byName_.contains(marker->name))
        byName_.insert(marker->name, marker);
}

void PlanMarkers::indexAgain()
{
    byName_.clear();
    for (const auto& marker : markers_)
        index(marker.get());
}

PlanMarker* PlanMarkers::findMutable(const QString& name)
{
    return const_cast<PlanMarker*>(std::as_const(*this).find(name));
}

void PlanMarkers::pressMarker(const QString& name)
{
    PlanMarker* marker = findMutable(name);
    if (!marker || !marker->pressHandler)
        return;
    selected_ = name;
    marker->popupAttached = true;
    armItemsVisible_ = marker->shape != PlanMarker::Shape::Circle;
    changed();
}

bool PlanMarkers::armItemsVisible() const
{
    return armItemsVisible_;
}

void PlanMarkers::changed(const PlanMarker* only)
{
    if (onChanged_)
        onChanged_(only);
}

} // namespace kirvan
