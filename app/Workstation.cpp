#include "app/Workstation.h"

#include "complex/ComplexFile.h"
#include "complex/SystemAddition.h"
#include "events/AlarmSummary.h"
#include "events/TreeMarking.h"
#include "files/AtomicFile.h"
#include "files/FileWriteError.h"
#include "files/SettingsKeys.h"
#include "link/Commands.h"
#include "link/LinkPort.h"
#include "platform/Worker.h"
#include "platform/WorkerThread.h"
#include "platform/Clock.h"
#include "platform/DesktopShell.h"
#include "platform/Dialogs.h"
#include "platform/Locale.h"
#include "platform/MessageLoop.h"
#include "platform/Sound.h"
#include "platform/Timer.h"
#include "remote/MosquittoLink.h"
#include "transmit/SocketReceiverLink.h"

#include <QCoreApplication>

namespace kirvan {

namespace {

// The reactions reach the control modules through their interface.
class ModuleSearch final : public ControlModuleSearch {
public:
    explicit ModuleSearch(ControlModules& modules) : modules_(modules) {}
    void findControlModule(const QString& systemName, const QString& zone) override
    {
        modules_.findControlModule(systemName, zone);
    }

private:
    ControlModules& modules_;
};

QStringList soundFolders(const WorkstationFolder& folder)
{
    QStringList folders{folder.path(), QCoreApplication::applicationDirPath()};
    if (!folder.sharedData().isEmpty())
        folders << folder.sharedData();
    return folders;
}

} // namespace

Workstation::Workstation(const PlatformServices& platform, MainWindowRestorer& window, const WorkstationFolder& folder)
    : dialogs_(platform.dialogs),
      platform_{platform.loop, dialogs_,       platform.shell,    platform.clock,  platform.locale,
                platform.port, platform.sound, platform.pictures, platform.workers, platform.journalViewer},
      notices_(platform.loop, platform_.dialogs),
      folder_(folder),
      store_(platform.locale),
      settings_(store_, folder_),
      table_(settings_.ini()),
      log_(folder_.logFile(), platform.loop),
      access_(platform.loop, platform_.dialogs, platform.workers.create(), folder_.file(UserList::fileName()),
              settings_.ini().readInteger(settings::sectionSettings, settings::keyAccessControlled, 0) == 1,
              [this](const QString& text) { logDated(QStringLiteral("  ") + text); }),
      controlModules_(settings_.ini(), platform.loop, platform_.dialogs,
                      [this](std::uint8_t address, std::uint8_t parameterA) {
                          link_.queueCommand(address, command::startScenario, parameterA, command::scenarioParameterB);
                      }),
      moduleSearch_(std::make_unique<ModuleSearch>(controlModules_)),
      markers_(settings_, store_, planArea_),
      // The workstation's own sounds first, then those beside the program, then the installed ones.
      sounds_(platform.sound, soundFolders(folder_), [this](const QString& text) { statusBar_.setMessagePanel(text); }),
      systemReset_(tree_, settings_, store_, markers_),
      alarms_(platform.loop, sounds_, markers_,
              [this](const QString& address, const std::set<QString>& spared) {
                  systemReset_.resetSystemState(address, spared);
              }),
      dispatcher_(EventEnvironment{settings_, store_, table_, log_, tree_, platform.clock, platform.locale,
                                   EventServices{alarms_, markers_, *moduleSearch_, window}}),
      alarmList_({alarms_, markers_, access_, statusBar_, platform.clock, platform.loop,
                  [this](const QString& text) { logDated(text); }, platform.workers.create(), folder_.alarmStateFile(),
                  [this](const ActiveConditions&) { publishAlarms(); }}),
      link_(platform.loop, platform.port, settings_.ini(), statusBar_,
            [this](const QString& record) { dispatcher_.processEvent(record); }),
      linkControl_(link_, platform.loop),
      mailbox_(platform.loop, folder_.mailboxFile(), link_.queue(), statusBar_, platform.workers.create()),
      rejectedRecords_(platform.loop, platform_.dialogs, statusBar_),
      selection_(popup_),
      loader_(tree_, settings_, store_, statusBar_, platform_.dialogs, linkControl_, popup_),
      systems_(SystemCommands::Services{platform_.dialogs, statusBar_, store_, settings_, tree_, popup_, link_,
                                        platform.port, loader_, controlModules_.table(),
                                        [this](const QString& text) { logDated(text); }}),
      // Pictures are read on a thread of their own, also in tests: a read may be abandoned.
      planPictures_(platform.pictures, std::make_unique<WorkerThread>(platform.loop)),
      planDisplay_(settings_, store_, planPictures_, planArea_, markers_),
      planEditor_(PlanEditor::Services{settings_, store_, platform_.dialogs, platform.shell, statusBar_, tree_, popup_,
                                       planArea_, planDisplay_, markers_, [this] { tree_.select(tree_.selected()); }}),
      markerCommands_(MarkerCommands::Services{settings_, store_, platform_.dialogs, statusBar_, tree_, markers_, link_}),
      commands_({tree_, dispatcher_, alarms_, loader_, settings_, store_, statusBar_, link_, platform_.dialogs})
{
    // A command refused by a full queue is told to the operator and to the journal.
    link_.setOnRefused([this](const Command& command) {
        const QString what = commandText(command);
        logDated(QStringLiteral("  КОМАНДА НЕ ПРИНЯТА, ОЧЕРЕДЬ КОМАНД ЗАПОЛНЕНА: ") + what);
        notices_.post(QStringLiteral("Предупреждение"),
                      QStringLiteral("Команда не принята: в очереди уже %1 команд.\n%2\nПовторите её позже.")
                          .arg(CommandQueue::Capacity)
                          .arg(what));
    });
    link_.receiver().setOnRejected(
        [this](const QString& record, const QString& reason) { rejectedRecords_.report(record, reason); });
    planArea_.setOnResized([this] {
        markers_.placeAgain();
        planDisplay_.areaResized();
    });
    dispatcher_.setOnInterpreted([this](const Interpretation& record) { alarmList_.conditions().interpreted(record); });
    loader_.setOnLoaded([this] {
        receiver_->setDetectors(detectorDirectory(tree_));
        checkConfigured();
        return markAlarms(tree_, alarms_.picturedAlarms());
    });
    selection_.setPlanDisplay([this](const TreeNode& node) { planDisplay_.showFor(node); });
    tree_.setOnSelectionChanged([this](TreeNode* node) {
        selection_.treeSelectionChanged(node);
        if (onTreeSelection_)
            onTreeSelection_(node);
    });
    platform.loop.setErrorHandler([this](const std::exception& error) {
        platform_.dialogs.notice(QStringLiteral("Ошибка"), errorText(error), Dialogs::Icon::Error);
    });
    log_.setOnWriteFailure([this](const QString& text) { notices_.post(QStringLiteral("Предупреждение"), text); });
    log_.setOnWriteRecovered([this](const QString& text) { notices_.post(QStringLiteral("Предупреждение"), text); });
    // Every request another program has carried out is in the journal, and so in the MQTT feed.
    mailbox_.setOnCarriedOut([this](const QString& line) { logDated(QStringLiteral("  ") + line); });
    mailbox_.bind();
    remote_ = std::make_unique<RemoteMonitor>(
        readRemoteSettings(settings_.ini()),
        RemoteMonitor::Services{platform.loop, platform.locale, statusBar_,
                                [this](const QString& text) { logDated(text); }, [this] { return systemNames(); },
                                folder_.logFile(), folder_.remoteCursorFile(),
                                [](const RemoteSettings& remote) { return std::make_unique<MosquittoLink>(remote); }});
    receiver_ = std::make_unique<ReceiverMonitor>(
        readReceiverSettings(settings_.ini()),
        ReceiverMonitor::Services{platform.loop, platform.locale, statusBar_,
                                  [this](const QString& text) { logDated(text); },
                                  [this](bool lost, const QString& reason) { receiverLinkChanged(lost, reason); },
                                  folder_.logFile(), folder_.receiverCursorFile(),
                                  [](const ReceiverSettings& receiver) {
                                      return std::make_unique<SocketReceiverLink>(receiver.paths, receiver.udp);
                                  }});
    log_.setOnLogged([this] {
        remote_->lineLogged();
        receiver_->lineLogged();
    });
    if (!settings_.firstStart())
        logDated(QStringLiteral("  КОМПЛЕКС КИРВАН ВКЛЮЧЕН"));
    // From now on a user file that goes closes access instead of opening it.
    if (access_.controlled())
        settings_.ini().writeString(settings::sectionSettings, settings::keyAccessControlled, u"1");
    platform.sound.setOnOutputsChanged([this] { runHandler([this] { checkSoundDevice(); }); });
    access_.setAlarmHold([this] { return alarms_.alarmLevel() != Annunciation::Normal; });
    dialogs_.setSession([this] { return access_.session(); });
    // Plan edit mode is the engineer's; nobody after him could leave it.
    access_.setOnSessionEnd([this] {
        if (planEditor_.editMode())
            planEditor_.endEditMode();
    });
    userFileTimer_ = platform.loop.createTimer();
    userFileTimer_->setInterval(AccessControl::userFileLookMs);
    userFileTimer_->setOnTimer([this] { access_.lookAtUserFile(); });
    userFileTimer_->setEnabled(true);
    planEditor_.setOnPlaced(
        [this](const QString& detector) { access_.audit(QStringLiteral("Установить извещатель: ") + detector); });
}

Workstation::~Workstation()
{
    platform_.sound.setOnOutputsChanged({});
    logDated(QStringLiteral("  КОМПЛЕКС КИРВАН ВЫКЛЮЧЕН"));
    // The shut-down line is the last one published.
    log_.setOnLogged({});
    remote_.reset();
    receiver_.reset();
    // The window is gone: what the log still has to say goes to standard error.
    log_.setOnWriteFailure({});
    log_.setOnWriteRecovered({});
    platform_.loop.setErrorHandler({});
}

void Workstation::runHandler(const std::function<void()>& handler)
{
    platform_.loop.runHandler(handler);
}

QString Workstation::errorText(const std::exception& error)
{
    QString text = QString::fromStdString(error.what());
    if (const auto* refused = dynamic_cast<const FileWriteError*>(&error); refused && !refused->reason().isEmpty())
        text += QStringLiteral("\nПричина: %1.").arg(refused->reason());
    return text;
}

void Workstation::logDated(const QString& text)
{
    log_.logEvent(platform_.locale.dateTime(platform_.clock.now()) + text);
}

void Workstation::start(std::optional<int> comPort)
{
    removeWriteLeftovers(folder_.path());
    for (const QString& released : SystemAddition::releaseUnfinished(settings_))
        logDated(released);
    IniFile& ini = settings_.ini();
    if (ini.readInteger(settings::sectionSettings, settings::keyInstallation, 0) == 1) {
        installFlag_ = true;
        ini.deleteKey(settings::sectionSettings, settings::keyInstallation);
    }
    applySettings();
    alarmList_.restore();
    // What a broker retained from the last run is replaced at once, also when nothing is active.
    publishAlarms();
    checkSoundDevice();
    loader_.loadConfiguration();
    controlModules_.fillSlots();
    // The port is searched at once, so that the polling cycle's first frames go out on it: a
    // port still closed when the first link checks fall due would read as every system lost.
    // The command line's port is opened in its place, not after it, so the line is opened once.
    if (!platform_.port.isOpen())
        link_.ports().searchPorts(comPort);
}

void Workstation::applySettings()
{
    const IniFile& ini = settings_.ini();
    access_.setIdleMinutes(
        ini.readInteger(settings::sectionSettings, settings::keyOperatorIdleMinutes, AccessControl::defaultIdleMinutes));
    const std::pair<QStringView, QStringView> sounds[] = {{AlarmSounds::alarmName, settings::keyAlarmSound},
                                                          {AlarmSounds::faultName, settings::keyFaultSound}};
    for (const auto& [name, key] : sounds)
        sounds_.choose(name, settings_.localPath(ini.readString(settings::sectionSettings, key, {})));
}

void Workstation::checkSoundDevice()
{
    const bool missing = !platform_.sound.hasOutputDevice();
    if (missing == soundDeviceMissing_)
        return;
    soundDeviceMissing_ = missing;
    const QString notice = QStringLiteral("ЗВУК НЕ ВОСПРОИЗВОДИТСЯ: нет звукового устройства");
    statusBar_.setSoundTrouble(missing ? notice : QString());
    alarmList_.conditions().setWorkstationTrouble(ActiveConditions::Kind::NoSound, missing,
                                                  QStringLiteral("нет звукового устройства"), platform_.clock.now());
    if (missing)
        logDated(QStringLiteral("  ") + notice);
}

void Workstation::receiverLinkChanged(bool lost, const QString& reason)
{
    alarmList_.conditions().setWorkstationTrouble(ActiveConditions::Kind::NoReceiver, lost,
                                                  QStringLiteral("нет связи с пультом: ") + reason,
                                                  platform_.clock.now());
    if (lost)
        alarms_.raiseFaultAlarm();
}

void Workstation::publishAlarms()
{
    if (remote_ && remote_->publishing())
        remote_->alarmsChanged(alarmsummary::json(alarmList_.conditions()));
}

void Workstation::checkConfigured()
{
    alarmList_.conditions().setWorkstationTrouble(ActiveConditions::Kind::NotConfigured, tree_.topLevel().empty(),
                                                  QStringLiteral("ни одна система не введена в состав"),
                                                  platform_.clock.now());
}

QMap<QString, QString> Workstation::systemNames()
{
    // The shut-down line comes after the settings are released: the names stay as last read.
    if (!settingsOpen_)
        return systemNames_;
    // The names the tree shows ("A01:СКЛАД"), not the system files' paths; before the first load,
    // as the composition file has them.
    QStringList systems;
    for (const auto& system : tree_.topLevel())
        systems << system->text();
    if (systems.isEmpty()) {
        try {
            systems = ComplexFile::systemsOnDisk(folder_.complexFile());
        } catch (const std::runtime_error&) {} // the load reports the file
    }
    systemNames_.clear();
    for (const QString& system : systems) {
        const QString address = system.mid(1, 2);
        if (system.startsWith(u'A') && system.mid(3, 1) == QLatin1String(":") && address >= QLatin1String("00")
            && address <= QLatin1String("03"))
            systemNames_.insert(address, system.mid(4));
    }
    return systemNames_;
}

void Workstation::windowActivated()
{
    if (!installFlag_)
        return;
    // Once: the page need not come back each time a dialog of the program closes.
    installFlag_ = false;
    link_.delay(500);
    showHelp();
}

void Workstation::windowClosed()
{
    settingsOpen_ = false;
}

bool Workstation::desktopProgramsAllowed()
{
    // A program of the desktop runs with the workstation user's rights: an editor may write
    // the journal, a browser open anything. Only the engineer may be handed one.
    return access_.level() >= AccessLevel::Engineer
           && settings_.ini().readInteger(settings::sectionSettings, settings::keyDesktopPrograms, 1) != 0;
}

void Workstation::showHelp()
{
    const QString page = folder_.resource(QStringLiteral("Help/index.html"));
    if ((!desktopProgramsAllowed() || !platform_.shell.openDocument(page)) && onHelpUnopened_)
        onHelpUnopened_(page);
}

QString Workstation::soundOffCaption(const QString& caption) const
{
    QStringList systems;
    for (const QString& address : alarms_.systemsInAlarm()) {
        QString name = QStringLiteral("A") + address;
        for (const auto& system : tree_.topLevel())
            if (system->text().mid(1, 2) == address)
                name = system->text();
        systems << name;
    }
    if (systems.isEmpty())
        return caption;
    return QStringLiteral("%1 (тревога: %2)").arg(caption, systems.join(QStringLiteral(", ")));
}

bool Workstation::openJournal()
{
    return desktopProgramsAllowed() && log_.openJournal(platform_.shell);
}

} // namespace kirvan
