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
// (N12Click, N13Click), and the marker pop-up's commands for the detector of SelectedMarker:
// switching it on or off through the command queue (N14Click, N15Click), arming and disarming
// it at once (N16Click, N17Click).
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
    void N12Click();
    // "Скрыть извещатели на плане": those markers go; their stored places stay.
    void N13Click();

    void N14Click();
    void N15Click();
    void N16Click();
    void N17Click();

private:
    // The selected zone's detectors, or the selected detector; nothing for a system.
    template <typename Visit> void forSelectedDetectors(Visit visit) const;
    void sendToSelected(std::uint8_t code, bool queued, bool switchOff);

    Services s_;
};

} // namespace kirvan
