#include "window/MainWindow.h"

#include "window/CompositionTreeModel.h"
#include "window/EventTableModel.h"
#include "window/HistoryListModel.h"
#include "window/ViewUpdatePeriod.h"
#include "window/PlanPicture.h"
#include "dialogs/SignInWindow.h"
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
// Every key press and mouse click anywhere in the program: the operator is at the console.
class InputActivity final : public QObject {
public:
    InputActivity(QObject* owner, std::function<void()> onInput) : QObject(owner), onInput_(std::move(onInput)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // A key that is a shortcut never arrives as a key press: the toolkit offers it as a
        // shortcut first, and the command takes it.
        switch (event->type()) {
        case QEvent::KeyPress:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
        case QEvent::Wheel:
        case QEvent::TouchBegin:
            onInput_();
            break;
        default:
            break;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onInput_;
};
} // namespace

void MainWindow::connectModels()
{
    Workstation& w = *workstation_;
    w.alarms().setOnChanged([this] { showStatusField(); });
    // The list and the summary follow at most twice a second.
    alarmUpdates_ = std::make_unique<UpdateThrottle>(loop_, viewUpdateMs, [this] { showAlarms(); });
    w.alarmList().setOnChanged([this] { alarmUpdates_->changed(); });
    windowRaises_ = std::make_unique<UpdateThrottle>(loop_, viewUpdateMs, [this] { bringForward(); });
    // The bar tells every frame on the line.
    statusUpdates_ = std::make_unique<UpdateThrottle>(loop_, journalUpdateMs, [this] { showStatusBar(); });
    w.statusBar().setOnChanged([this] { statusUpdates_->changed(); });
    journalUpdates_ = std::make_unique<UpdateThrottle>(loop_, journalUpdateMs, [this] {
        tableModel_->refresh();
        applyTableLayout();
        showHistory();
    });
    w.log().history().setOnChanged([this] { journalUpdates_->changed(); });
    w.table().setOnChanged([this] { journalUpdates_->changed(); });
    // One node's picture changed: its row is repainted. In a flood the rows in view are, together:
    // finding each changed row among the thousands of an expanded large complex costs more.
    treeRepaints_ = std::make_unique<UpdateThrottle>(loop_, viewUpdateMs, [this] {
        if (changedPictures_ == 1 && changedPicture_)
            treeModel_->pictureChanged(*changedPicture_);
        else
            compositionView->viewport()->update();
        changedPictures_ = 0;
        changedPicture_ = nullptr;
    });
    w.tree().setOnPictureChanged([this](TreeNode& node) {
        changedPicture_ = &node;
        ++changedPictures_;
        treeRepaints_->changed();
    });
    w.setOnTreeSelection([this](TreeNode* node) { compositionView->setCurrentIndex(treeModel_->indexOf(node)); });
    w.setOnHelpUnopened([this](const QString& page) { showHelpWindow(page); });
    w.loader().setOnBusy([this](bool busy) {
        // The tree is rebuilt while busy: the view lets go of the old nodes before they are freed
        // and takes the new tree up as a whole.
        if (busy) {
            QApplication::setOverrideCursor(Qt::WaitCursor);
            compositionView->setUpdatesEnabled(false);
            changedPicture_ = nullptr;
            treeModel_->detach();
        } else {
            treeModel_->reload();
            compositionView->expandAll();
            fitToComplex();
            compositionView->setUpdatesEnabled(true);
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
        changedPicture_ = nullptr;
        treeModel_->reload();
        compositionView->expandAll();
        fitToComplex();
    });
    connect(splitter_, &QSplitter::splitterMoved, this, [this] { panelWidthByOperator_ = true; });
    w.controlModules().setOnPromptChanged([this] { showModulePrompt(); });
    connect(compositionView, &QWidget::customContextMenuRequested, this,
            guarded([this](const QPoint& at) { showTreePopup(at); }));
    connect(compositionView->selectionModel(), &QItemSelectionModel::currentChanged, this,
            guarded([this](const QModelIndex& current, const QModelIndex&) {
                TreeNode* node = CompositionTreeModel::nodeAt(current);
                if (node != workstation_->tree().selected())
                    workstation_->tree().select(node);
            }));
    connect(historyLine, &QComboBox::activated, this,
            guarded([this](int index) { workstation_->log().history().chooseEntry(historyModel_->entryOf(index)); }));
    w.link().ports().setOnChanged([this] { showPorts(); });
    showStatusField();
    showAlarms();
    showStatusBar();
    showHistory();
}

QString MainWindow::captionOf(const QAction* action)
{
    // Without the shortcut and without the mnemonic marks the toolkit adds ("CO&M3").
    return action->text().section(u'\t', 0, 0).remove(u'&');
}

void MainWindow::connectCommands()
{
    Workstation& w = *workstation_;
    connect(actions_->resetAlarm, &QAction::triggered, this,
            gated(ConsoleCommand::AlarmReset, actions_->resetAlarm, [&w] { w.alarms().resetAlarm(); }));
    OperatorCommands& c = w.commands();
    // Anyone may silence the sound; its line names every system that was in alarm.
    const std::pair<QAction*, void (OperatorCommands::*)()> soundOffs[] = {
        {actions_->silenceComplex, &OperatorCommands::silenceComplex},
        {actions_->silenceSystem, &OperatorCommands::silenceSystem},
    };
    for (const auto& [action, execute] : soundOffs)
        connect(action, &QAction::triggered, this, guarded([&w, &c, action, execute] {
                    const QString caption = w.soundOffCaption(captionOf(action));
                    (c.*execute)();
                    w.access().audit(caption);
                }));
    const std::tuple<QAction*, ConsoleCommand, void (OperatorCommands::*)()> commands[] = {
        {actions_->controlAll, ConsoleCommand::TotalControl, &OperatorCommands::controlAll},
        {actions_->controlCheck, ConsoleCommand::ControlCheck, &OperatorCommands::controlCheck},
        {actions_->switchDetectorOn, ConsoleCommand::DetectorOn, &OperatorCommands::switchDetectorOn},
        {actions_->switchDetectorOff, ConsoleCommand::DetectorOff, &OperatorCommands::switchDetectorOff},
        {actions_->arm, ConsoleCommand::Arm, &OperatorCommands::arm},
        {actions_->disarm, ConsoleCommand::Disarm, &OperatorCommands::disarm},
        {actions_->simulateFault, ConsoleCommand::SimulateFault, &OperatorCommands::simulateFault},
        {actions_->simulateFire, ConsoleCommand::SimulateFire, &OperatorCommands::simulateFire},
    };
    for (const auto& [action, command, execute] : commands)
        connect(action, &QAction::triggered, this, gated(command, action, [&c, execute] { (c.*execute)(); }));
    // Below level 3, on a kiosk or without a program of the desktop for the log, F3 shows it in
    // the journal viewer.
    connect(actions_->openJournal, &QAction::triggered, this, guarded([this, &w] {
                if (!w.openJournal())
                    showJournalViewer();
            }));
    connect(actions_->viewJournal, &QAction::triggered, this, guarded([this] { showJournalViewer(); }));
    // The close asks the gate, so that the window's own close button is gated as well.
    connect(actions_->exit, &QAction::triggered, this, guarded([this] { close(); }));
    connect(actions_->showHelp, &QAction::triggered, this, guarded([&w] { w.showHelp(); }));
    connect(actions_->addSystem, &QAction::triggered, this,
            gated(ConsoleCommand::AddSystem, actions_->addSystem, [&w] { w.systems().addSystem(); }));
    connect(actions_->removeSystem, &QAction::triggered, this,
            gated(ConsoleCommand::RemoveSystem, actions_->removeSystem, [&w] { w.systems().removeSystem(); }));
    connect(actions_->showAbout, &QAction::triggered, this, guarded([this] { showAbout(); }));
    connect(actions_->editControlModule, &QAction::triggered, this,
            gated(ConsoleCommand::ModuleEditor, actions_->editControlModule, [this] { editControlModule(); }));
    // Opening the menu is no command of its own: below the engineer's level the search that
    // may change the port only does not run, and choosing a port is refused and journaled.
    connect(actions_->settingsMenu, &QMenu::aboutToShow, this, guarded([&w] {
                if (w.access().level() >= requiredLevel(ConsoleCommand::PortSearch))
                    w.link().ports().searchPorts();
            }));
    connect(actions_->editSettings, &QAction::triggered, this,
            gated(ConsoleCommand::Settings, actions_->editSettings, [this] { showSettings(); }));
    for (int n = 1; n <= PortSelection::PortCount; ++n) {
        QAction* port = actions_->choosePort[static_cast<std::size_t>(n - 1)];
        // A refused choice leaves the check mark where the port is.
        connect(port, &QAction::triggered, this, guarded([this, &w, port, n] {
                    w.access().run(ConsoleCommand::PortChoice, QStringLiteral("COM-порт ") + captionOf(port),
                                   [&w, n] { w.link().ports().choosePort(n); });
                    showPorts();
                }));
    }
}

void MainWindow::showPorts()
{
    const PortSelection& ports = workstation_->link().ports();
    connect(actions_->editSettings, &QAction::triggered, this,
            gated(ConsoleCommand::Settings, actions_->editSettings, [this] { showSettings(); }));
    for (int n = 1; n <= PortSelection::PortCount; ++n) {
        QAction* port = actions_->choosePort[static_cast<std::size_t>(n - 1)];
        port->setVisible(ports.visible(n));
        port->setChecked(ports.checked() == n);
    }
}

void MainWindow::connectAccess()
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

void MainWindow::showAccess()
{
    accessStatus_->setText(workstation_->access().statusText());
}

void MainWindow::showSignIn()
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

void MainWindow::connectPlans()
{
    Workstation& w = *workstation_;
    w.planArea().setOnChanged([this] {
        showPlanTitle();
        planPicture->update();
    });
    w.markers().setOnChanged([this](const PlanMarker* marker) { planPicture->markerChanged(marker); });
    w.planEditor().setOnChanged([this] {
        actions_->togglePlanEditMode->setChecked(workstation_->planEditor().editMode());
        planPicture->follow();
    });
    w.planEditor().setOnCollapseTree([this] { compositionView->collapseAll(); });
    PlanEditor& editor = w.planEditor();
    MarkerCommands& markers = w.markerCommands();
    // The check mark follows the mode, which changes only when the operator confirms.
    // Its line says whether the mode was entered or left; nothing when the operator declined.
    connect(actions_->togglePlanEditMode, &QAction::triggered, this, guarded([this, &editor] {
                AccessControl& access = workstation_->access();
                const QString caption = captionOf(actions_->togglePlanEditMode);
                if (access.permit(ConsoleCommand::PlanEditMode, caption)) {
                    const bool before = editor.editMode();
                    editor.togglePlanEditMode();
                    if (editor.editMode() != before)
                        access.performed(
                            ConsoleCommand::PlanEditMode,
                            caption + (editor.editMode() ? QStringLiteral(": вход") : QStringLiteral(": выход")));
                }
                actions_->togglePlanEditMode->setChecked(editor.editMode());
            }));
    connect(actions_->assignPlan, &QAction::triggered, this,
            gated(ConsoleCommand::PlanLoad, actions_->assignPlan, [&editor] { editor.assignPlan(); }));
    connect(actions_->startPictureEditor, &QAction::triggered, this,
            gated(ConsoleCommand::PlanDesign, actions_->startPictureEditor, [&editor] { editor.startPictureEditor(); }));
    // The marker's line comes when the click places it.
    connect(actions_->placeMarker, &QAction::triggered, this, guarded([this, &editor] {
                if (workstation_->access().permit(ConsoleCommand::MarkerPlace, captionOf(actions_->placeMarker)))
                    editor.placeMarker();
            }));
    connect(actions_->removeMarker, &QAction::triggered, this,
            gated(ConsoleCommand::MarkerRemove, actions_->removeMarker, [&editor] { editor.removeMarker(); }));
    connect(actions_->showMarkers, &QAction::triggered, this, guarded([&markers] { markers.showMarkers(); }));
    connect(actions_->hideMarkers, &QAction::triggered, this, guarded([&markers] { markers.hideMarkers(); }));
    connect(actions_->markerSwitchOn, &QAction::triggered, this,
            gated(ConsoleCommand::MarkerDetectorOn, actions_->markerSwitchOn, [&markers] { markers.switchDetectorOn(); }));
    connect(actions_->markerSwitchOff, &QAction::triggered, this,
            gated(ConsoleCommand::MarkerDetectorOff, actions_->markerSwitchOff,
                  [&markers] { markers.switchDetectorOff(); }));
    connect(actions_->markerArm, &QAction::triggered, this,
            gated(ConsoleCommand::MarkerArm, actions_->markerArm, [&markers] { markers.arm(); }));
    connect(actions_->markerDisarm, &QAction::triggered, this,
            gated(ConsoleCommand::MarkerDisarm, actions_->markerDisarm, [&markers] { markers.disarm(); }));
    showPlanTitle();
}

} // namespace kirvan
