#pragma once

#include <QList>
#include <array>

class QAction;
class QActionGroup;
class QMainWindow;
class QMenu;

namespace kirvan {

// The commands of the main window with their captions, shortcuts and pictures, the main menu
// and the pop-up menus that offer them. Commands whose work is not built yet are shown disabled.
struct MainActions {
    explicit MainActions(QMainWindow& window);

    // "Режим"
    QAction* resetAlarm;
    QAction* silenceComplex;
    QAction* controlAll;
    QAction* openJournal;
    QAction* signIn;
    QAction* signOut;
    QAction* exit;
    // "Сервис"
    QAction* addSystem;
    QAction* removeSystem;
    QAction* togglePlanEditMode;
    QAction* viewJournal;
    // "Настройки": the menu runs the port search when it opens.
    QMenu* settingsMenu;
    QAction* editSettings;
    QActionGroup* comPorts;
    std::array<QAction*, 10> choosePort;
    // "Справка"
    QAction* showHelp;
    QAction* showAbout;

    // F7, F5, F6, Ctrl+Insert and Ctrl+Delete: the operator's keys, which also work from the
    // program's own windows over the main window (the control-module prompt).
    QList<QAction*> operatorKeys() const
    {
        return {resetAlarm, controlCheck, silenceSystem, switchDetectorOn, switchDetectorOff};
    }

    // Pop-up menus of the tree and the plan markers.
    QAction* assignPlan;
    QAction* startPictureEditor;
    QAction* placeMarker;
    QAction* removeMarker;
    QAction* controlCheck;
    QAction* silenceSystem;
    QAction* editControlModule;
    QAction* switchDetectorOn;
    QAction* switchDetectorOff;
    QAction* arm;
    QAction* disarm;
    QAction* showMarkers;
    QAction* hideMarkers;
    QAction* simulateFault;
    QAction* simulateFire;
    QAction* markerSwitchOn;
    QAction* markerSwitchOff;
    QAction* markerArm;
    QAction* markerDisarm;
    QMenu* planMenu;
    QMenu* markerMenu;
    QMenu* treeMenu;
    QMenu* detectorMenu;
};

} // namespace kirvan
