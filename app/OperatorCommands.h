#pragma once

#include "events/RecordContext.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace kirvan {

class AlarmState;
class CompositionTree;
class ConfigurationLoader;
class Dialogs;
class EventDispatcher;
class IniStore;
class PanelLink;
class SettingsFile;
class StatusBar;
class TreeNode;

// The operator's commands on the composition tree and the whole complex. The local ones hand
// records to processEvent as if the panel had reported them and put nothing on the line; arming
// and disarming send a frame at once. Each takes its target from the tree's selected node; where
// none fits (a shortcut pressed on another node or an empty tree) a command does nothing.
class OperatorCommands {
public:
    struct Services {
        CompositionTree& tree;
        EventDispatcher& dispatcher;
        AlarmState& alarms;
        ConfigurationLoader& loader;
        const SettingsFile& settings;
        IniStore& store;
        StatusBar& statusBar;
        PanelLink& link;
        Dialogs& dialogs;
    };

    explicit OperatorCommands(Services services) : s_(services) {}

    // "Контроль" (F5): the system of the selected node is checked; its record resets it.
    void controlCheck();
    // "Отключить звук системы" (F6): sound off, reported for the selected node's system; without a node the
    // sound still goes off.
    void silenceSystem();
    // "Включить извещатель" (Ctrl+Insert), "Выключить извещатель" (Ctrl+Delete), "Имитировать
    // отказ", "Имитировать пожар/тревогу": the selected detector's record with code 03, 05, 08, 07;
    // the two simulations are journaled as such and start no control module.
    void switchDetectorOn();
    void switchDetectorOff();
    void simulateFault();
    void simulateFire();
    // "Общий контроль": alarm reset, the composition reloaded, every system checked in turn.
    void controlAll();
    // "Отключить звук": sound off, reported for every system.
    void silenceComplex();
    // "Поставить на охрану", "Снять с охраны": the selected detector armed or disarmed by a frame
    // sent at once; the journal follows the panel's report.
    void arm();
    void disarm();

private:
    // The address of the selected node's system, read as a number; nothing without a selection.
    std::optional<int> selectedSystemAddress() const;
    void systemRecord(int address, const char* code, const RecordContext& context = {});
    // For each address in turn: code 01 (resetting what was announced up to `since`), then code
    // 00 once the next frame has gone out (the next Delay started elsewhere has ended, normally
    // the pause of the frame polling sends next). Nothing waits: the command returns at once and
    // the check goes on from the end of that pause, so it never holds open a polling tick, and a
    // stop never waits for it.
    void controlCheck(std::vector<int> addresses, std::uint64_t since);
    void detectorRecord(const char* code, const RecordContext& context = {});
    const TreeNode* selectedDetector() const;
    void sendToSelectedDetector(std::uint8_t code);
    // The addresses 0 to 3 that have a system file entry.
    template <typename Visit> void forEveryConfiguredAddress(Visit visit);

    Services s_;
};

} // namespace kirvan
