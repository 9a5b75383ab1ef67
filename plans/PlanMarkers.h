#pragma once

#include "events/EventServices.h"
#include "plans/PlanMarker.h"

#include <QHash>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace kirvan {

class IniStore;
class PlanArea;
class SettingsFile;

// The detector markers over the plans, in creation order, and the marker last pressed. Event
// processing creates and recolours them (paintMarker), the alarm blinks, steadies and removes
// them, plan display shows those of the plan on screen. The window only draws them.
class PlanMarkers final : public MarkerPainter {
public:
    PlanMarkers(const SettingsFile& settings, IniStore& store, const PlanArea& area);

    bool hasMarker(const QString& record) const override;
    void paintMarker(const QString& record, Rgb colour, bool blink) override { paint(record, colour, blink); }
    void blinkMarkers() override;
    void stopMarkerBlinking() override;
    void removeAllMarkers() override;
    void removeMarkersExcept(const std::set<QString>& kept) override;
    void removeMarker(const QString& markerName) override;

    // Recolours the record's marker, or creates it from the detector's stored place; true only
    // when a marker was created. A marker made without an alarm (green) is white while the
    // detector is switched off; an alarm always shows its own colour.
    bool paint(const QString& record, Rgb colour, bool blink);
    // A marker placed by hand in plan edit mode: a green circle with the node's text as its hint,
    // at `at`, placed from `stored` (the "X" and "Y" written for it) when the area's size changes.
    void place(const QString& name, QPoint at, QPointF stored, const QString& hint, const QString& plane);
    // The plan area's size changed: every marker goes to its stored place on the new size, so it
    // stays over the room it marks.
    void placeAgain();
    // Plan display: exactly the markers of the plan are visible.
    void showPlan(const QString& plan);

    const std::vector<std::unique_ptr<PlanMarker>>& markers() const { return markers_; }
    const PlanMarker* find(const QString& name) const;

    // A press on a marker made from the detector file: it becomes selectedMarker and gets the
    // marker pop-up. A marker without a press handler ignores it.
    void pressMarker(const QString& name);
    // The marker the pop-up commands act on; nothing once it has been removed.
    const PlanMarker* selectedMarker() const { return find(selected_); }
    // The arming items of the pop-up show for a security detector's square only.
    bool armItemsVisible() const;

    // The handler gets the one marker that changed, so that only its place is painted again, or
    // nothing when any marker may have changed.
    void setOnChanged(std::function<void(const PlanMarker*)> handler) { onChanged_ = std::move(handler); }

private:
    PlanMarker* findMutable(const QString& name);
    void add(std::unique_ptr<PlanMarker> marker);
    void index(PlanMarker* marker);
    void indexAgain();
    QString planOf(const QString& systemFile, const QString& zone) const;
    void changed(const PlanMarker* only = nullptr);

    const SettingsFile& settings_;
    IniStore& store_;
    const PlanArea& area_;
    std::vector<std::unique_ptr<PlanMarker>> markers_;
    QHash<QString, PlanMarker*> byName_;
    QString selected_;
    bool armItemsVisible_ = false;
    std::function<void(const PlanMarker*)> onChanged_;
};

} // namespace kirvan
