#pragma once

#include <QPoint>
#include <QString>
#include <functional>

namespace kirvan {

class CompositionTree;
class DesktopShell;
class Dialogs;
class IniStore;
class PlanArea;
class PlanDisplay;
class PlanMarkers;
class SettingsFile;
class StatusBar;
class TreeNode;
class TreePopup;

// Plan edit mode ("Редактор планов"): the operator assigns plan pictures to systems and zones,
// starts a picture editor, and places and removes detector markers. Markers are placed on the
// picture, not on the line: polling and reception go on while the mode lasts.
class PlanEditor {
public:
    struct Services {
        const SettingsFile& settings;
        IniStore& store;
        Dialogs& dialogs;
        DesktopShell& shell;
        StatusBar& statusBar;
        CompositionTree& tree;
        TreePopup& popup;
        PlanArea& area;
        PlanDisplay& display;
        PlanMarkers& markers;
        // Runs the tree's selection handler again for the selected node.
        std::function<void()> reselect;
    };

    explicit PlanEditor(Services services) : s_(std::move(services)) {}

    bool editMode() const { return editMode_; }
    // Placing is on while the plan picture shows the crosshair pointer.
    bool placing() const { return placing_; }

    // Switches plan edit mode on or off after the operator confirms it.
    void togglePlanEditMode();
    // Leaves plan edit mode without asking: whoever entered it has gone.
    void endEditMode();
    // "Загрузить план": a picture file for the selected system or zone, shown at once and stored
    // in the system file. currentPlan and the markers follow at the next plan display.
    void assignPlan();
    // "Создать план": starts the picture editor (settings key "Редактор" of "Настройки", else the
    // first of kolourpaint, pinta and gimp found), without waiting for it.
    void startPictureEditor();
    // Whether a program the key names can be started: a path to an executable file, or a name
    // found on the program search path.
    static bool pictureEditorFound(const QString& configured);

    // "Установить извещатель": the next click on the plan places the selected detector.
    void placeMarker();
    void pointerMoved(QPoint at);
    void clicked();
    // "Удалить извещатель": removes the shown marker of the selected detector and its stored place.
    void removeMarker();

    // The tree view collapses as a whole on every switch of the mode.
    void setOnCollapseTree(std::function<void()> handler) { onCollapseTree_ = std::move(handler); }
    // Runs when the mode or placing changed, for the menu check mark and the pointer.
    void setOnChanged(std::function<void()> handler) { onChanged_ = std::move(handler); }
    // A click has placed a detector's marker (the detector node's text): the operator's action.
    void setOnPlaced(std::function<void(const QString& detector)> handler) { onPlaced_ = std::move(handler); }

private:
    void enter();
    void leave();
    void placeSelected(const TreeNode& detector);
    void setPlacing(bool on);
    void collapseTree();
    void changed();

    Services s_;
    bool editMode_ = false;
    bool placing_ = false;
    QPoint pointer_;
    std::function<void()> onCollapseTree_;
    std::function<void()> onChanged_;
    std::function<void(const QString&)> onPlaced_;
};

} // namespace kirvan
