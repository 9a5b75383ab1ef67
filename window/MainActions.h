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
    QAction* AlarmOff;
    QAction* AllSoundOff;
    QAction* TotalControl;
    QAction* ReadArhiv;
    QAction* signIn;
    QAction* signOut;
    QAction* exit;
    // "Сервис"
    QAction* NewConfig;
    QAction* DelConfig;
    QAction* ImageEdit;
    QAction* JournalView;
    // "Настройки": the menu runs the port search when it opens.
    QMenu* settingsMenu;
    QActionGroup* comPorts;
    std::array<QAction*, 10> IniCOM;
    // "Справка"
    QAction* HelpMonitor;
    QAction* About;

    // F7, F5, F6, Ctrl+Insert and Ctrl+Delete: the operator's keys, which also work from the
    // program's own windows over the main window (the control-module prompt).
    QList<QAction*> operatorKeys() const { return {AlarmOff, ControlSys, SoundSys, DatOn, DatOff}; }

    // Pop-up menus of the tree and the plan markers.
    QAction* ImageLoad;
    QAction* ImageDesign;
    QAction* SetDat;
    QAction* DelDat;
    QAction* ControlSys;
    QAction* SoundSys;
    QAction* AddModulControl;
    QAction* DatOn;
    QAction* DatOff;
    QAction* arm;
    QAction* disarm;
    QAction* showMarkers;
    QAction* hideMarkers;
    QAction* simulateFault;
    QAction* simulateFire;
    QAction* markerDatOn;
    QAction* markerDatOff;
    QAction* markerArm;
    QAction* markerDisarm;
    QMenu* PopupMenu1;
    QMenu* PopupMenu2;
    QMenu* PopupMenu3;
    QMenu* PopupMenu4;
};

} // namespace kirvan
