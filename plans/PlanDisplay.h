#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <functional>

namespace kirvan {

class IniStore;
class PlanArea;
class PlanMarkers;
class PlanPictures;
class SettingsFile;
class TreeNode;

// Shows the plan of the selected node: the system's general plan for a system node, the zone's
// plan for a zone or detector node, with its title, currentPlan and the markers of that plan.
class PlanDisplay {
public:
    // Shown in the plan area while its picture is read.
    static inline const QString loadingText = QStringLiteral("План загружается…");

    PlanDisplay(const SettingsFile& settings, IniStore& store, PlanPictures& pictures, PlanArea& area,
                PlanMarkers& markers);

    // A system without a system file, and a zone that is not among its system's zones, change
    // nothing: the plan still shown keeps its markers blinking.
    void showFor(const TreeNode& node);
    // Shows a picture file in the plan area, the title as it is; an unreadable one is explained
    // there. A picture not read before is read on a worker thread, "План загружается…" meanwhile.
    void showPicture(const QString& localPath);
    // An empty plan area under the title; a read still under way is abandoned.
    void clearPicture();
    // The plan area has a new size: the picture shown is read again for it (it is read and kept
    // at the size it is shown at, see PlanPictures), and stays stretched over the area meanwhile.
    void areaResized();

private:
    // The picture of a stored plan path, or why it cannot be shown; a missing file shows nothing.
    void showStored(const QString& title, const QString& storedPlan);
    using Shown = std::function<void(const QImage& picture, const QString& message)>;
    // The kept picture of path at once, or the loading text until the worker has read it.
    void show(const QString& path, const QString& named, const Shown& shown);
    // Asks for the picture of path at the area's size; `shown` gets it when it is there.
    void request(const QString& path, const QString& named, const Shown& shown);
    static QString unreadableText(const QString& plan, const QString& error);

    // The picture file shown in the area, as the operator knows it, and where it goes: what a new
    // size of the area reads again. No path when the area shows no picture file.
    struct Showing {
        QString path;
        QString named;
        Shown shown;
    };

    const SettingsFile& settings_;
    IniStore& store_;
    PlanPictures& pictures_;
    PlanArea& area_;
    PlanMarkers& markers_;
    Showing showing_;
};

// The system node of a node of any level: itself, its parent or its grandparent.
const TreeNode& systemNodeOf(const TreeNode& node);

} // namespace kirvan
