#include "console/TForm1.h"

#include "console/CompositionTreeModel.h"
#include "console/EventTableModel.h"
#include "console/PlanPicture.h"
#include "console/SignInWindow.h"
#include "platform/Dialogs.h"
#include "link/PortSelection.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QSplitter>
#include <QMenu>
#include <QTreeView>

// The main window's wiring: the models it shows and the commands its actions start.

namespace kirvan {

namespace {
// The newest journal row is shown within this time.
constexpr int journalUpdateMs = 100;

// Every key press and mouse click anywhere in the program: the operator is at the console.
class InputActivity final : public QObject {
public:
    InputActivity(QObject* owner, std::function<void()> onInput) : QObject(owner), onInput_(std::move(onInput)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::KeyPress || type == QEvent::MouseButtonPress || type == QEvent::Wheel)
            onInput_();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onInput_;
};
} // namespace

void TForm1::connectModels()
{
    Workstation& w = *workstation_;
    w.alarms().setOnChanged([this] { showStatusField(); });
    w.statusBar().setOnChanged([this] { showStatusBar(); });
    journalUpdates_ = std::make_unique<UpdateThrottle>(loop_, journalUpdateMs, [this] {
        tableModel_->refresh();
        applyTableLayout();
        showHistory();
    });
    w.log().history().setOnChanged([this] { journalUpdates_->changed(); });
    w.table().setOnChanged([this] { journalUpdates_->changed(); });
    w.tree().setOnPictureChanged([this](TreeNode& node) { treeModel_->pictureChanged(node); });
    w.setOnTreeSelection([this](TreeNode* node) { TreeView1->setCurrentIndex(treeModel_->indexOf(node)); });
    w.setOnHelpUnopened([this](const QString& page) { showHelpWindow(page); });
    w.loader().setOnBusy([this](bool busy) {
        // The tree is rebuilt while busy: the view lets go of the old nodes before they are freed
        // and takes the new tree up as a whole.
        if (busy) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            TreeView1->setUpdatesEnabled(false);
            treeModel_->detach();
        } else {
            treeModel_->reload();
            TreeView1->expandAll();
            fitToComplex();
            TreeView1->setUpdatesEnabled(true);
            QApplication::restoreOverrideCursor();
        }
    });
    w.systems().setOnBusy([](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
    w.systems().setOnClearPlan([this] { workstation_->planDisplay().clearPicture(); });
    w.systems().setOnProgress([] { QCoreApplication::processEvents(); });
    w.systems().setOnTreeChanged([this] {
        treeModel_->reload();
        TreeView1->expandAll();
        fitToComplex();
    });
    connect(splitter_, &QSplitter::splitterMoved, this, [this] { panelWidthByOperator_ = true; });
    w.controlModules().setOnPromptChanged([this] { showModulePrompt(); });
    connect(TreeView1, &QWidget::customContextMenuRequested, this,
            guarded([this](const QPoint& at) { showTreePopup(at); }));
    connect(TreeView1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            guarded([this](const QModelIndex& current, const QModelIndex&) {
                TreeNode* node = CompositionTreeModel::nodeAt(current);
                if (node != workstation_->tree().selected())
                    workstation_->tree().select(node);
            }));
    connect(ComboBox1, &QComboBox::activated, this,
            guarded([this](int index) { workstation_->log().history().chooseEntry(index); }));
    w.link().ports().setOnChanged([this] { showPorts(); });
    showStatusField();
    showStatusBar();
    showHistory();
}

QString TForm1::captionOf(const QAction* action)
{
    // Without the shortcut and without the mnemonic marks the toolkit adds ("CO&M3").
    return action->text().section(u'\t', 0, 0).remove(u'&');
}

void TForm1::connectCommands()
{
    Workstation& w = *workstation_;
    connect(actions_->AlarmOff, &QAction::triggered, this,
            gated(ConsoleCommand::AlarmReset, actions_->AlarmOff, [&w] { w.alarms().AlarmOffExecute(); }));
    OperatorCommands& c = w.commands();
    // Anyone may silence the sound; its line names every system that was in alarm.
    const std::pair<QAction*, void (OperatorCommands::*)()> soundOffs[] = {
        {actions_->AllSoundOff, &OperatorCommands::AllSoundOffExecute},
        {actions_->SoundSys, &OperatorCommands::SoundSysExecute},
    };
    for (const auto& [action, execute] : soundOffs)
        connect(action, &QAction::triggered, this, guarded([&w, &c, action, execute] {
                    const QString caption = w.soundOffCaption(captionOf(action));
                    (c.*execute)();
                    w.access().audit(caption);
                }));
    const std::tuple<QAction*, ConsoleCommand, void (OperatorCommands::*)()> commands[] = {
        {actions_->TotalControl, ConsoleCommand::TotalControl, &OperatorCommands::TotalControlExecute},
        {actions_->ControlSys, ConsoleCommand::ControlCheck, &OperatorCommands::ControlSysExecute},
        {actions_->DatOn, ConsoleCommand::DetectorOn, &OperatorCommands::DatOnExecute},
        {actions_->DatOff, ConsoleCommand::DetectorOff, &OperatorCommands::DatOffExecute},
        {actions_->arm, ConsoleCommand::Arm, &OperatorCommands::N9Click},
        {actions_->disarm, ConsoleCommand::Disarm, &OperatorCommands::N10Click},
        {actions_->simulateFault, ConsoleCommand::SimulateFault, &OperatorCommands::N20Click},
        {actions_->simulateFire, ConsoleCommand::SimulateFire, &OperatorCommands::N21Click},
    };
    for (const auto& [action, command, execute] : commands)
        connect(action, &QAction::triggered, this, gated(command, action, [&c, execute] { (c.*execute)(); }));
    // Without a program of the desktop for the log (a kiosk), F3 shows it in the journal viewer.
    connect(actions_->ReadArhiv, &QAction::triggered, this, guarded([this, &w] {
                if (!w.ReadArhivExecute())
                    showJournalViewer();
            }));
    connect(actions_->JournalView, &QAction::triggered, this, guarded([this] { showJournalViewer(); }));
    // The close asks the gate, so that the window's own close button is gated as well.
    connect(actions_->exit, &QAction::triggered, this, guarded([this] { close(); }));
    connect(actions_->HelpMonitor, &QAction::triggered, this, guarded([&w] { w.HelpMonitorExecute(); }));
    connect(actions_->NewConfig, &QAction::triggered, this,
            gated(ConsoleCommand::AddSystem, actions_->NewConfig, [&w] { w.systems().NewConfigExecute(); }));
    connect(actions_->DelConfig, &QAction::triggered, this,
            gated(ConsoleCommand::RemoveSystem, actions_->DelConfig, [&w] { w.systems().DelConfigExecute(); }));
    connect(actions_->About, &QAction::triggered, this, guarded([this] { AboutExecute(); }));
    connect(actions_->AddModulControl, &QAction::triggered, this,
            gated(ConsoleCommand::ModuleEditor, actions_->AddModulControl, [this] { AddModulControlExecute(); }));
    // Opening the menu is no command of its own: below the engineer's level the search that
    // may change the port only does not run, and choosing a port is refused and journaled.
    connect(actions_->settingsMenu, &QMenu::aboutToShow, this, guarded([&w] {
                if (w.access().level() >= requiredLevel(ConsoleCommand::PortSearch))
                    w.link().ports().FindComPortExecute();
            }));
    for (int n = 1; n <= PortSelection::PortCount; ++n) {
        QAction* port = actions_->IniCOM[static_cast<std::size_t>(n - 1)];
        // A refused choice leaves the check mark where the port is.
        connect(port, &QAction::triggered, this, guarded([this, &w, port, n] {
                    w.access().run(ConsoleCommand::PortChoice, QStringLiteral("СОМ-порт ") + captionOf(port),
                                   [&w, n] { w.link().ports().IniCOMExecute(n); });
                    showPorts();
                }));
    }
}

void TForm1::showPorts()
{
    const PortSelection& ports = workstation_->link().ports();
    for (int n = 1; n <= PortSelection::PortCount; ++n) {
        QAction* port = actions_->IniCOM[static_cast<std::size_t>(n - 1)];
        port->setVisible(ports.visible(n));
        port->setChecked(ports.checked() == n);
    }
}

void TForm1::connectAccess()
{
    AccessControl& access = workstation_->access();
    access.setOnChanged([this] { showAccess(); });
    // A question being answered or a password being typed holds off the sign-out.
    // A sign-in window that has closed is gone only once its deletion comes round: it is being
    // typed in while it shows.
    access.setTypingHold([this] {
        if (QApplication::activeModalWidget() != nullptr)
            return true;
        const QWidget* signIn = signInWindow_.data();
        return signIn != nullptr && signIn->isVisible();
    });
    QApplication::instance()->installEventFilter(new InputActivity(this, [&access] { access.activity(); }));
    connect(actions_->signIn, &QAction::triggered, this, guarded([this] { showSignIn(); }));
    connect(actions_->signOut, &QAction::triggered, this, guarded([&access] { access.signOut(); }));
    showAccess();
}

void TForm1::showAccess()
{
    accessStatus_->setText(workstation_->access().statusText());
}

void TForm1::showSignIn()
{
    AccessControl& access = workstation_->access();
    if (!access.restricted()) {
        workstation_->platform().dialogs.notice(
            QStringLiteral("Вход оператора"),
            QStringLiteral("Доступ не ограничен: в папке рабочего места нет файла пользователей %1.")
                .arg(UserList::fileName()),
            Dialogs::Icon::Information);
        return;
    }
    if (!signInWindow_) {
        signInWindow_ = new SignInWindow(access, loop_, this);
        signInWindow_->addActions(actions_->operatorKeys());
    }
    signInWindow_->show();
    signInWindow_->raise();
    signInWindow_->activateWindow();
}

void TForm1::connectPlans()
{
    Workstation& w = *workstation_;
    w.planArea().setOnChanged([this] {
        showPlanTitle();
        Image1->update();
    });
    w.markers().setOnChanged([this] { Image1->update(); });
    w.planEditor().setOnChanged([this] {
        actions_->ImageEdit->setChecked(workstation_->planEditor().editMode());
        Image1->follow();
    });
    w.planEditor().setOnCollapseTree([this] { TreeView1->collapseAll(); });
    PlanEditor& editor = w.planEditor();
    MarkerCommands& markers = w.markerCommands();
    // The check mark follows the mode, which changes only when the operator confirms.
    // Its line says whether the mode was entered or left; nothing when the operator declined.
    connect(actions_->ImageEdit, &QAction::triggered, this, guarded([this, &editor] {
                AccessControl& access = workstation_->access();
                const QString caption = captionOf(actions_->ImageEdit);
                if (access.permit(ConsoleCommand::PlanEditMode, caption)) {
                    const bool before = editor.editMode();
                    editor.ImageEditExecute();
                    if (editor.editMode() != before)
                        access.performed(ConsoleCommand::PlanEditMode,
                                         caption + (editor.editMode() ? QStringLiteral(": вход") : QStringLiteral(": выход")));
                }
                actions_->ImageEdit->setChecked(editor.editMode());
            }));
    connect(actions_->ImageLoad, &QAction::triggered, this,
            gated(ConsoleCommand::PlanLoad, actions_->ImageLoad, [&editor] { editor.ImageLoadExecute(); }));
    connect(actions_->ImageDesign, &QAction::triggered, this,
            gated(ConsoleCommand::PlanDesign, actions_->ImageDesign, [&editor] { editor.ImageDesignExecute(); }));
    // The marker's line comes when the click places it.
    connect(actions_->SetDat, &QAction::triggered, this, guarded([this, &editor] {
                if (workstation_->access().permit(ConsoleCommand::MarkerPlace, captionOf(actions_->SetDat)))
                    editor.SetDatExecute();
            }));
    connect(actions_->DelDat, &QAction::triggered, this,
            gated(ConsoleCommand::MarkerRemove, actions_->DelDat, [&editor] { editor.DelDatExecute(); }));
    connect(actions_->showMarkers, &QAction::triggered, this, guarded([&markers] { markers.N12Click(); }));
    connect(actions_->hideMarkers, &QAction::triggered, this, guarded([&markers] { markers.N13Click(); }));
    connect(actions_->markerDatOn, &QAction::triggered, this,
            gated(ConsoleCommand::MarkerDetectorOn, actions_->markerDatOn, [&markers] { markers.N14Click(); }));
    connect(actions_->markerDatOff, &QAction::triggered, this,
            gated(ConsoleCommand::MarkerDetectorOff, actions_->markerDatOff, [&markers] { markers.N15Click(); }));
    connect(actions_->markerArm, &QAction::triggered, this,
            gated(ConsoleCommand::MarkerArm, actions_->markerArm, [&markers] { markers.N16Click(); }));
    connect(actions_->markerDisarm, &QAction::triggered, this,
            gated(ConsoleCommand::MarkerDisarm, actions_->markerDisarm, [&markers] { markers.N17Click(); }));
    showPlanTitle();
}

} // namespace kirvan
