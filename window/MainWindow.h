#pragma once

#include "access/AccessLevel.h"
#include "app/GuardedSlot.h"
#include "window/MainActions.h"
#include "app/Workstation.h"
#include "events/EventServices.h"
#include "platform/UpdateThrottle.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <memory>
#include <optional>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QSplitter;
class QTableView;
class QToolButton;
class QTreeView;
class QVBoxLayout;

namespace kirvan {

class ActiveConditionsModel;
class CompositionTreeModel;
class EventTableModel;
class HistoryListModel;
class HelpWindow;
class Locale;
class ModulePrompt;
class PlanPicture;
class SettingsDialog;
class SignInWindow;
class TreeNode;

// The main window: shows the workstation's models and hands the operator's commands to it.
class MainWindow final : public QMainWindow, public MainWindowRestorer {
public:
    // Start-up, opening `comPort` rather than the stored port when given; throws FileWriteError
    // when the settings can neither be opened nor created.
    MainWindow(const PlatformServices& platform, const WorkstationFolder& folder,
               std::optional<int> comPort = std::nullopt);
    ~MainWindow() override;

    Workstation& workstation() { return *workstation_; }
    // The factor of the window's texts and panels ("Масштаб"), fixed at start-up.
    double scale() const { return scale_; }
    const MainActions& actions() const { return *actions_; }

    void restoreMainWindow() override;

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The frame is known once shown: the window is placed again so that it lies on the screen.
    void showEvent(QShowEvent* event) override;
    // "Выход" and the window's close: asked first while an alarm still sounds, since the kiosk
    // unit does not bring back a program that the operator ended; then every wait under way ends.
    void closeEvent(QCloseEvent* event) override;

private:
    // A slot for a signal of the toolkit, run as an entry point (see guardedSlot).
    template <class Handler> auto guarded(Handler handler) { return guardedSlot(loop_, std::move(handler)); }
    // A command's slot through the access gate: refused below its level, its audit line after.
    template <class Handler> auto gated(ConsoleCommand command, QAction* action, Handler handler)
    {
        return guarded(
            [this, command, action, handler] { workstation_->access().run(command, captionOf(action), handler); });
    }
    // The action's caption as the operator reads it.
    static QString captionOf(const QAction* action);
    QToolButton* toolButton(QAction* action) const;
    QWidget* buildToolbarStrip();
    // The summary and the list of what is active now, in view while anything is.
    QWidget* buildAlarmSummary();
    QWidget* buildAlarmList();
    QWidget* buildPlanArea();
    QWidget* buildEventArea();
    QWidget* buildCompositionPanel();
    QWidget* buildStatusBar();
    void connectModels();
    void connectCommands();
    void showStatusField();
    void showAlarms();
    void bringForward();
    // The detector of an active condition selected in the tree, with its plan.
    void selectDetector(const QString& record);
    void showStatusBar();
    void showHistory();
    void showTreePopup(const QPoint& at);
    // The composition panel as wide as its widest line, within a third of the window, until the
    // operator drags its edge.
    void fitCompositionPanel();
    void fitObjectColumn();
    int cellMargins() const;
    // Both, after each load of the composition.
    void fitToComplex();
    void placeOnScreen();
    void fitColumnsToContent(const Locale& locale);
    void connectPlans();
    void showPlanTitle();
    void applyTableLayout();
    void scrollGrid();
    void fitToGrid();
    void showAbout();
    void editControlModule();
    // "Параметры…": one at a time, over the window; what it saves is taken at once where it can be.
    void showSettings();
    // Opens or closes the prompt of a manual control module as the control modules say.
    void showModulePrompt();
    void showJournalViewer();
    void showHelpWindow(const QString& page);
    void showPorts();
    void connectAccess();
    void showAccess();
    void showSignIn();

    MessageLoop& loop_;
    double scale_ = 1.0;
    bool placed_ = false;
    bool panelWidthByOperator_ = false;
    // The grid and the history line, the alarm list and the status bar follow their models at most
    // once a view period (viewUpdateMs): under a flood of events, repainting each row costs more
    // than all the rest of the work.
    std::unique_ptr<UpdateThrottle> journalUpdates_;
    std::unique_ptr<UpdateThrottle> alarmUpdates_;
    std::unique_ptr<UpdateThrottle> statusUpdates_;
    // The tree's pictures: the node changed last (null once the tree is rebuilt) and how many
    // changes wait.
    std::unique_ptr<UpdateThrottle> treeRepaints_;
    const TreeNode* changedPicture_ = nullptr;
    int changedPictures_ = 0;
    // Each alarm brings the window forward; in a flood, at the same pace as the list.
    std::unique_ptr<UpdateThrottle> windowRaises_;
    // Declared before the workstation, so that they outlive it: its handlers still run while it
    // goes (a polling tick inside a wait of its close) and show state on them.
    std::unique_ptr<MainActions> actions_;
    std::unique_ptr<Workstation> workstation_;
    QPointer<HelpWindow> helpWindow_;
    EventTableModel* tableModel_ = nullptr;
    CompositionTreeModel* treeModel_ = nullptr;
    QComboBox* historyLine = nullptr;
    HistoryListModel* historyModel_ = nullptr;
    // The table layout last applied to the panels and the grid: expanded, then the column widths.
    std::optional<std::array<int, EventTable::ColumnCount + 1>> tableLayout_;
    QLineEdit* statusWord = nullptr;
    QLabel* simulationWord = nullptr;
    QWidget* alarmSummary = nullptr;
    QWidget* alarmListPanel = nullptr;
    QLabel* alarmCounts = nullptr;
    QLabel* firstFire = nullptr;
    QLabel* newestFire = nullptr;
    QTableView* activeAlarms = nullptr;
    ActiveConditionsModel* alarmsModel_ = nullptr;
    QToolButton* totalControlButton_ = nullptr;
    QWidget* planPanel = nullptr;
    QLabel* planTitle = nullptr;
    PlanPicture* planPicture = nullptr;
    QWidget* eventPanel = nullptr;
    QTableView* eventGrid = nullptr;
    QTreeView* compositionView = nullptr;
    QSplitter* splitter_ = nullptr;
    QWidget* compositionPanel = nullptr;
    QVBoxLayout* leftColumn_ = nullptr;
    QLabel* commandPanel = nullptr;
    QFrame* linkLamp = nullptr;
    QLabel* statePanel = nullptr;
    QLabel* messagePanel = nullptr;
    QLabel* soundTrouble_ = nullptr;
    QLabel* accessStatus_ = nullptr;
    QPointer<SignInWindow> signInWindow_;
    QPointer<SettingsDialog> settingsDialog_;
    // The link to the broker of remote monitoring, shown when one is configured.
    QLabel* remoteLink_ = nullptr;
    QPointer<ModulePrompt> modulePrompt;
};

} // namespace kirvan
