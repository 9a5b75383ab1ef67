#pragma once

#include <QString>
#include <cstdint>

namespace kirvan {

class CompositionTree;
class Dialogs;
class IniStore;
class PanelLink;
class PlanMarkers;
class SettingsFile;
class StatusBar;
class TreeNode;

// The commands on markers: showing and hiding the markers of a zone or a detector from the tree
// (showMarkers, hideMarkers), and the marker pop-up's commands for the detector of selectedMarker:
// switching it on or off through the command queue (switchDetectorOn, switchDetectorOff), arming and disarming
// it at once (arm, disarm).
class MarkerCommands {
public:
    struct Services {
        const SettingsFile& settings;
        IniStore& store;
        Dialogs& dialogs;
        StatusBar& statusBar;
        CompositionTree& tree;
        PlanMarkers& markers;
        PanelLink& link;
    };

    explicit MarkerCommands(Services services) : s_(services) {}

    // "Показать извещатели на плане": the markers of the selected zone's detectors, or of the
    // selected detector, made from their stored places.
    void showMarkers();
    // "Скрыть извещатели на плане": those markers go; their stored places stay.
    void hideMarkers();

    void switchDetectorOn();
    void switchDetectorOff();
    void arm();
    void disarm();

private:
    // The selected zone's detectors, or the selected detector; nothing for a system.
    template <typename Visit> void forSelectedDetectors(Visit visit) const;
    void sendToSelected(std::uint8_t code, bool queued, bool switchOff);

    Services s_;
};

} // namespace kirvan
