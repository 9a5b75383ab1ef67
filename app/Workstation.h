#pragma once

#include "access/AccessControl.h"
#include "access/SessionDialogs.h"
#include "app/AlarmList.h"
#include "complex/CompositionTree.h"
#include "complex/ConfigurationLoader.h"
#include "complex/ControlModules.h"
#include "complex/TreePopup.h"
#include "complex/TreeSelection.h"
#include "app/OperatorCommands.h"
#include "app/RejectedRecordReport.h"
#include "app/SystemCommands.h"
#include "files/IniStore.h"
#include "files/SettingsFile.h"
#include "events/AlarmSounds.h"
#include "events/AlarmState.h"
#include "events/EventDispatcher.h"
#include "events/SystemReset.h"
#include "journal/EventTable.h"
#include "journal/JournalLog.h"
#include "mailbox/Mailbox.h"
#include "link/PanelLink.h"
#include "app/OperatorNotices.h"
#include "link/PanelLinkControl.h"
#include "platform/StatusBar.h"
#include "plans/MarkerCommands.h"
#include "plans/PlanArea.h"
#include "plans/PlanDisplay.h"
#include "plans/PlanEditor.h"
#include "plans/PlanMarkers.h"
#include "plans/PlanPictures.h"
#include "remote/RemoteMonitor.h"
#include "transmit/ReceiverMonitor.h"

#include <memory>
#include <optional>

namespace kirvan {

class Clock;
class CompanionProgram;
class Timer;
class DesktopShell;
class Dialogs;
class LinkPort;
class Locale;
class MessageLoop;
class Sound;
class PictureLoader;
class Workers;

// What the workstation runs on; the program gives the real ones, tests their doubles.
struct PlatformServices {
    MessageLoop& loop;
    Dialogs& dialogs;
    DesktopShell& shell;
    const Clock& clock;
    const Locale& locale;
    LinkPort& port;
    Sound& sound;
    const PictureLoader& pictures;
    Workers& workers;
    // The journal viewer, a program of its own.
    CompanionProgram& journalViewer;
};

// Everything the main window shows and commands, without the window: the settings, the journal,
// the composition tree, the shown alarm, the panel link and the interpretation of records. The
// main window (MainWindow) owns one and shows its models.
class Workstation {
public:
    // Start-up: opens the settings file, or creates it on the first start (throws
    // FileWriteError when it can be neither), reads the user file (throws UserFileRefused when
    // it cannot be trusted), binds the command mailbox when its file exists,
    // and writes the start-up journal line when the settings were there already.
    // `window` brings the main window back on alarms.
    Workstation(const PlatformServices& platform, MainWindowRestorer& window, const WorkstationFolder& folder);
    ~Workstation();

    // The rest of start-up once the window exists: leftovers of killed writes are removed, the
    // installation flag is read, then the composition is loaded, polling starts and, while the
    // port is closed, the port search runs; it opens `comPort` when given (the command line's
    // choice, stored as the menu's would be), else the stored port.
    void start(std::optional<int> comPort = std::nullopt);
    // The settings the workstation keeps while it runs are read again (at start, and after the
    // dialog "Параметры" saved): the operator's sign-out time and the alarms' sound files. The
    // others it reads each time they are used, or only at start.
    void applySettings();
    // Each activation of the main window: the help page after the installation, once.
    void windowActivated();
    // The window closes: the settings are released. The shut-down line follows when the
    // workstation is destroyed.
    void windowClosed();

    // The help page and the log go to a program of the desktop only at level 3, and never when
    // the setting "Программы рабочего стола" is 0 (a kiosk). Otherwise, or without such a program,
    // the page is handed to the window set here.
    void showHelp();
    void setOnHelpUnopened(std::function<void(const QString& page)> show) { onHelpUnopened_ = std::move(show); }
    // False when the log exists but no program of the desktop may or can show it.
    bool openJournal();

    // Every entry point of the toolkit (signal, event, menu, timer, main) runs its work here: an
    // exception ends that work only and is shown to the operator in a message box.
    void runHandler(const std::function<void()>& handler);
    // The operator's text of a failure: the error and, where known, its reason in Russian.
    static QString errorText(const std::exception& error);

    // False once the window has closed: nothing reads or writes the settings any more.
    bool settingsOpen() const { return settingsOpen_; }

    const WorkstationFolder& folder() const { return folder_; }
    // The dialogs in it answer for the session that opened them (SessionDialogs).
    const PlatformServices& platform() const { return platform_; }
    SettingsFile& settings() { return settings_; }
    EventTable& table() { return table_; }
    JournalLog& log() { return log_; }
    CompositionTree& tree() { return tree_; }
    StatusBar& statusBar() { return statusBar_; }
    AlarmState& alarms() { return alarms_; }
    // What is active now, with its acknowledgement.
    AlarmList& alarmList() { return alarmList_; }
    PanelLink& link() { return link_; }
    Mailbox& mailbox() { return mailbox_; }
    EventDispatcher& dispatcher() { return dispatcher_; }
    ConfigurationLoader& loader() { return loader_; }
    TreePopup& popup() { return popup_; }
    // "Ввести в состав" and "Вывести из состава".
    SystemCommands& systems() { return systems_; }
    ControlModules& controlModules() { return controlModules_; }
    PlanArea& planArea() { return planArea_; }
    PlanDisplay& planDisplay() { return planDisplay_; }
    PlanPictures& planPictures() { return planPictures_; }
    PlanMarkers& markers() { return markers_; }
    PlanEditor& planEditor() { return planEditor_; }
    MarkerCommands& markerCommands() { return markerCommands_; }
    OperatorCommands& commands() { return commands_; }
    // Who is signed in and what he may do; every command of the window passes it.
    AccessControl& access() { return access_; }
    // The caption of a sound off for its audit line, naming the systems in alarm:
    // "Отключить звук (тревога: A01:СКЛАД, A02:ЦЕХ)".
    QString soundOffCaption(const QString& caption) const;
    // The window follows the selected node; treeSelectionChanged has run when it is called.
    void setOnTreeSelection(std::function<void(TreeNode*)> handler) { onTreeSelection_ = std::move(handler); }

private:
    void logDated(const QString& text);
    bool desktopProgramsAllowed();
    // Without an output device every alarm is silent: a lasting notice in the status bar and one
    // journal line each time the device goes; the notice goes when a device is back.
    void checkSoundDevice();
    // The active alarms to remote monitoring, retained on `<prefix>/alarms`.
    void publishAlarms();
    // No system in the composition: nothing is watched, and the word says so.
    void checkConfigured();
    // The receiving centre stopped answering, or answers again.
    void receiverLinkChanged(bool lost, const QString& reason);
    // The systems' names by address ("01"), for the messages of remote monitoring.
    QMap<QString, QString> systemNames();

    // The platform's dialogs, asked on behalf of the session that opens them.
    SessionDialogs dialogs_;
    PlatformServices platform_;
    OperatorNotices notices_;
    WorkstationFolder folder_;
    IniStore store_;
    SettingsFile settings_;
    EventTable table_;
    JournalLog log_;
    AccessControl access_;
    CompositionTree tree_;
    StatusBar statusBar_;
    ControlModules controlModules_;
    std::unique_ptr<ControlModuleSearch> moduleSearch_;
    PlanArea planArea_;
    PlanMarkers markers_;
    AlarmSounds sounds_;
    SystemReset systemReset_;
    AlarmState alarms_;
    EventDispatcher dispatcher_;
    AlarmList alarmList_;
    PanelLink link_;
    PanelLinkControl linkControl_;
    Mailbox mailbox_;
    RejectedRecordReport rejectedRecords_;
    TreePopup popup_;
    TreeSelection selection_;
    ConfigurationLoader loader_;
    SystemCommands systems_;
    PlanPictures planPictures_;
    PlanDisplay planDisplay_;
    PlanEditor planEditor_;
    MarkerCommands markerCommands_;
    OperatorCommands commands_;
    std::function<void(TreeNode*)> onTreeSelection_;
    std::function<void(const QString& page)> onHelpUnopened_;
    // Started before the start-up line, so that line is published too.
    std::unique_ptr<RemoteMonitor> remote_;
    std::unique_ptr<ReceiverMonitor> receiver_;
    // A user file made or changed with kirvan-tool while the workstation runs is taken up.
    std::unique_ptr<Timer> userFileTimer_;
    QMap<QString, QString> systemNames_;
    bool installFlag_ = false;
    bool settingsOpen_ = true;
    bool soundDeviceMissing_ = false;
};

} // namespace kirvan
