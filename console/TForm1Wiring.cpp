#include "console/TForm1.h"

#include "console/CompositionTreeModel.h"
#include "console/EventTableModel.h"
#include "console/PlanPicture.h"
#include "link/PortSelection.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QTreeView>

// The main window's wiring: the models it shows and the commands its actions start.

namespace kirvan {

namespace {
// The newest journal row is shown within this time.
constexpr int journalUpdateMs = 100;
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
    });
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
    w.link().ports().setOnChanged([this] {
        const PortSelection& ports = workstation_->link().ports();
        for (int n = 1; n <= PortSelection::PortCount; ++n) {
            QAction* port = actions_->IniCOM[static_cast<std::size_t>(n - 1)];
            port->setVisible(ports.visible(n));
            port->setChecked(ports.checked() == n);
        }
    });
    showStatusField();
    showStatusBar();
    showHistory();
}

void TForm1::connectCommands()
{
    Workstation& w = *workstation_;
    connect(actions_->AlarmOff, &QAction::triggered, this, guarded([&w] { w.alarms().AlarmOffExecute(); }));
    OperatorCommands& c = w.commands();
    const std::pair<QAction*, void (OperatorCommands::*)()> commands[] = {
        {actions_->AllSoundOff, &OperatorCommands::AllSoundOffExecute},
        {actions_->TotalControl, &OperatorCommands::TotalControlExecute},
        {actions_->ControlSys, &OperatorCommands::ControlSysExecute},
        {actions_->SoundSys, &OperatorCommands::SoundSysExecute},
        {actions_->DatOn, &OperatorCommands::DatOnExecute},
        {actions_->DatOff, &OperatorCommands::DatOffExecute},
        {actions_->arm, &OperatorCommands::N9Click},
        {actions_->disarm, &OperatorCommands::N10Click},
        {actions_->simulateFault, &OperatorCommands::N20Click},
        {actions_->simulateFire, &OperatorCommands::N21Click},
    };
    for (const auto& [action, execute] : commands)
        connect(action, &QAction::triggered, this, guarded([&c, execute] { (c.*execute)(); }));
    // Without a program of the desktop for the log (a kiosk), F3 shows it in the journal viewer.
    connect(actions_->ReadArhiv, &QAction::triggered, this, guarded([this, &w] {
                if (!w.ReadArhivExecute())
                    showJournalViewer();
            }));
    connect(actions_->JournalView, &QAction::triggered, this, guarded([this] { showJournalViewer(); }));
    connect(actions_->exit, &QAction::triggered, this, guarded([this] { close(); }));
    connect(actions_->HelpMonitor, &QAction::triggered, this, guarded([&w] { w.HelpMonitorExecute(); }));
    connect(actions_->NewConfig, &QAction::triggered, this, guarded([&w] { w.systems().NewConfigExecute(); }));
    connect(actions_->DelConfig, &QAction::triggered, this, guarded([&w] { w.systems().DelConfigExecute(); }));
    connect(actions_->About, &QAction::triggered, this, guarded([this] { AboutExecute(); }));
    connect(actions_->AddModulControl, &QAction::triggered, this, guarded([this] { AddModulControlExecute(); }));
    connect(actions_->settingsMenu, &QMenu::aboutToShow, this,
            guarded([&w] { w.link().ports().FindComPortExecute(); }));
    for (int n = 1; n <= PortSelection::PortCount; ++n)
        connect(actions_->IniCOM[static_cast<std::size_t>(n - 1)], &QAction::triggered, this,
                guarded([&w, n] { w.link().ports().IniCOMExecute(n); }));
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
    connect(actions_->ImageEdit, &QAction::triggered, this, guarded([this, &editor] {
                editor.ImageEditExecute();
                actions_->ImageEdit->setChecked(editor.editMode());
            }));
    connect(actions_->ImageLoad, &QAction::triggered, this, guarded([&editor] { editor.ImageLoadExecute(); }));
    connect(actions_->ImageDesign, &QAction::triggered, this, guarded([&editor] { editor.ImageDesignExecute(); }));
    connect(actions_->SetDat, &QAction::triggered, this, guarded([&editor] { editor.SetDatExecute(); }));
    connect(actions_->DelDat, &QAction::triggered, this, guarded([&editor] { editor.DelDatExecute(); }));
    connect(actions_->showMarkers, &QAction::triggered, this, guarded([&markers] { markers.N12Click(); }));
    connect(actions_->hideMarkers, &QAction::triggered, this, guarded([&markers] { markers.N13Click(); }));
    connect(actions_->markerDatOn, &QAction::triggered, this, guarded([&markers] { markers.N14Click(); }));
    connect(actions_->markerDatOff, &QAction::triggered, this, guarded([&markers] { markers.N15Click(); }));
    connect(actions_->markerArm, &QAction::triggered, this, guarded([&markers] { markers.N16Click(); }));
    connect(actions_->markerDisarm, &QAction::triggered, this, guarded([&markers] { markers.N17Click(); }));
    showPlanTitle();
}

} // namespace kirvan
