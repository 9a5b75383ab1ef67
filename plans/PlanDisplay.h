#pragma once

#include <QSize>
#include <QString>

namespace kirvan {

class IniStore;
class PictureLoader;
class PlanArea;
class PlanMarkers;
class SettingsFile;
class TreeNode;

// Shows the plan of the selected node: the system's general plan for a system node, the zone's
// plan for a zone or detector node, with its title, CurrentPlan and the markers of that plan.
class PlanDisplay {
public:
    // Pictures larger than this are read scaled down.
    static constexpr QSize pictureBound{4096, 4096};

    PlanDisplay(const SettingsFile& settings, IniStore& store, const PictureLoader& loader, PlanArea& area,
                PlanMarkers& markers);

    // A system without a system file, and a zone that is not among its system's zones, change
    // nothing: the plan still shown keeps its markers blinking.
    void showFor(const TreeNode& node);
    // Reads a picture file into the plan area at once; an unreadable one is explained there.
    // The title stays.
    void showPicture(const QString& localPath);

private:
    // The picture of a stored plan path, or why it cannot be shown; a missing file shows nothing.
    void showStored(const QString& title, const QString& storedPlan);
    static QString unreadableText(const QString& plan, const QString& error);

    const SettingsFile& settings_;
    IniStore& store_;
    const PictureLoader& loader_;
    PlanArea& area_;
    PlanMarkers& markers_;
};

// The system node of a node of any level: itself, its parent or its grandparent.
const TreeNode& systemNodeOf(const TreeNode& node);

} // namespace kirvan
