#include "window/MainWindow.h"

#include "window/ActiveConditionsModel.h"
#include "window/CompositionTreeModel.h"
#include "window/GridTextDelegate.h"
#include "window/TreeTextDelegate.h"
#include "window/EventTableModel.h"
#include "window/HistoryListModel.h"
#include "window/PixelFont.h"
#include "window/PlanPicture.h"
#include "events/AlarmState.h"
#include "plans/PlanMarker.h"

#include <QAction>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QComboBox>
#include <QScrollBar>
#include <QTableView>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

// The main window's panels as they are built and laid out.

namespace kirvan {

namespace {

// The status word's design size: its capitals a centimetre high at the scale chosen for a screen.
constexpr int statusWordPixels = 37;

} // namespace

// A button says what it does with the caption its menu item shows, so that a command has one name.
QToolButton* MainWindow::toolButton(QAction* action) const
{
    auto* button = new QToolButton;
    button->setDefaultAction(action);
    button->setFixedSize(displayscale::scaled(27, scale_), displayscale::scaled(26, scale_));
    button->setIconSize(QSize(displayscale::scaled(16, scale_), displayscale::scaled(16, scale_)));
    const QString key = action->shortcut().toString(QKeySequence::NativeText);
    button->setToolTip(key.isEmpty() ? captionOf(action) : QStringLiteral("%1 (%2)").arg(captionOf(action), key));
    return button;
}

QWidget* MainWindow::buildToolbarStrip()
{
    auto* strip = new QWidget;
    strip->setObjectName(QStringLiteral("toolbarStrip"));
    auto* layout = new QHBoxLayout(strip);
    layout->setContentsMargins(4, 4, 4, 4);
    historyLine = new QComboBox;
    historyLine->setObjectName(QStringLiteral("historyLine"));
    historyLine->setEditable(true);
    // Every character typed is discarded; choosing an entry shows it.
    historyLine->lineEdit()->setReadOnly(true);
    // Nothing is typed to complete, and a completer reads every entry anew at each change of the
    // list: ten thousand entries, every second in a flood.
    historyLine->setCompleter(nullptr);
    historyLine->setMaxVisibleItems(12);
    historyLine->setFocusPolicy(Qt::ClickFocus);
    historyLine->setInsertPolicy(QComboBox::NoInsert);
    historyModel_ = new HistoryListModel(workstation_->log().history(), historyLine);
    historyLine->setModel(historyModel_);
    layout->addWidget(historyLine, 1);

    totalControlButton_ = toolButton(actions_->controlAll);
    layout->addWidget(totalControlButton_);
    layout->addWidget(toolButton(actions_->silenceComplex));
    layout->addWidget(toolButton(actions_->resetAlarm));
    statusWord = new QLineEdit;
    statusWord->setObjectName(QStringLiteral("statusWord"));
    statusWord->setReadOnly(true);
    statusWord->setFocusPolicy(Qt::NoFocus);
    // Read from across the guard room: the word's capitals about a centimetre high on the
    // screens the scale is chosen for, and every word whole.
    statusWord->setFont(pixelFont(statusWordPixels, scale_, true));
    int widest = statusWord->fontMetrics().horizontalAdvance(AlarmState::notConfiguredWord());
    for (int level = Annunciation::Normal; level <= Annunciation::Technology; ++level)
        widest = std::max(widest, statusWord->fontMetrics().horizontalAdvance(AlarmState::wordOf(level)));
    statusWord->setFixedWidth(widest + statusWord->fontMetrics().averageCharWidth() * 2);
    layout->addWidget(statusWord);
    // A drill is never taken for a fire: the word field says so beside the alarm's word.
    simulationWord = new QLabel(QStringLiteral("ИМИТАЦИЯ"));
    simulationWord->setObjectName(QStringLiteral("simulationWord"));
    simulationWord->setFont(pixelFont(statusWordPixels / 2, scale_, true));
    simulationWord->setStyleSheet(QStringLiteral("color: black; background: rgb(255, 200, 0); padding: 2px;"));
    simulationWord->hide();
    layout->addWidget(simulationWord);
    layout->addWidget(toolButton(actions_->openJournal));
    layout->addWidget(toolButton(actions_->showHelp));
    return strip;
}

QWidget* MainWindow::buildAlarmSummary()
{
    alarmSummary = new QFrame;
    alarmSummary->setObjectName(QStringLiteral("alarmSummary"));
    auto* layout = new QVBoxLayout(alarmSummary);
    layout->setContentsMargins(4, 2, 4, 2);
    layout->setSpacing(0);
    // Read from two metres, like the status word; long names wrap rather than run off.
    alarmCounts = new QLabel;
    alarmCounts->setObjectName(QStringLiteral("alarmCounts"));
    alarmCounts->setFont(pixelFont(15, scale_, true));
    alarmCounts->setWordWrap(true);
    layout->addWidget(alarmCounts);
    auto* fires = new QHBoxLayout;
    for (QLabel** fire : {&firstFire, &newestFire}) {
        *fire = new QLabel;
        (*fire)->setFont(pixelFont(15, scale_, true));
        (*fire)->setWordWrap(true);
        (*fire)->setToolTip(QStringLiteral("Показать извещатель в составе и на плане"));
        fires->addWidget(*fire, 1);
    }
    firstFire->setObjectName(QStringLiteral("firstFire"));
    newestFire->setObjectName(QStringLiteral("newestFire"));
    layout->addLayout(fires);
    alarmSummary->hide();
    const ActiveConditions& conditions = workstation_->alarmList().conditions();
    connect(firstFire, &QLabel::linkActivated, this, guarded([this, &conditions] {
                if (const auto* fire = conditions.firstFire())
                    selectDetector(fire->record);
            }));
    connect(newestFire, &QLabel::linkActivated, this, guarded([this, &conditions] {
                if (const auto* fire = conditions.newestFire())
                    selectDetector(fire->record);
            }));
    return alarmSummary;
}

QWidget* MainWindow::buildAlarmList()
{
    auto* box = new QGroupBox(QStringLiteral("АКТИВНЫЕ ТРЕВОГИ"));
    box->setObjectName(QStringLiteral("alarmListPanel"));
    alarmListPanel = box;
    auto* layout = new QVBoxLayout(box);
    activeAlarms = new QTableView;
    activeAlarms->setObjectName(QStringLiteral("activeAlarms"));
    alarmsModel_ = new ActiveConditionsModel(workstation_->alarmList().conditions(), workstation_->platform().locale,
                                             this);
    activeAlarms->setModel(alarmsModel_);
    activeAlarms->verticalHeader()->hide();
    activeAlarms->verticalHeader()->setDefaultSectionSize(activeAlarms->fontMetrics().height() + 8);
    activeAlarms->setSelectionBehavior(QAbstractItemView::SelectRows);
    activeAlarms->setSelectionMode(QAbstractItemView::SingleSelection);
    activeAlarms->setEditTriggers(QAbstractItemView::NoEditTriggers);
    activeAlarms->setWordWrap(false);
    // The columns fit the rows in view: measuring every row of a storm's thousands ten times a
    // second took most of a core.
    activeAlarms->horizontalHeader()->setResizeContentsPrecision(0);
    layout->addWidget(activeAlarms, 1);
    auto* buttons = new QHBoxLayout;
    auto* acknowledge = new QPushButton(QStringLiteral("Квитировать"));
    acknowledge->setObjectName(QStringLiteral("acknowledge"));
    auto* acknowledgeAll = new QPushButton(QStringLiteral("Квитировать все"));
    acknowledgeAll->setObjectName(QStringLiteral("acknowledgeAll"));
    buttons->addWidget(acknowledge);
    buttons->addWidget(acknowledgeAll);
    layout->addLayout(buttons);
    box->hide();

    AlarmList& alarms = workstation_->alarmList();
    connect(acknowledge, &QPushButton::clicked, this, guarded([this, &alarms] {
                alarms.acknowledge(activeAlarms->currentIndex().isValid() ? activeAlarms->currentIndex().row() : 0);
            }));
    connect(acknowledgeAll, &QPushButton::clicked, this, guarded([&alarms] { alarms.acknowledgeAll(); }));
    // Enter and a double click acknowledge the row; a click shows its detector.
    connect(activeAlarms, &QTableView::activated, this,
            guarded([&alarms](const QModelIndex& index) { alarms.acknowledge(index.row()); }));
    connect(activeAlarms, &QTableView::clicked, this, guarded([this, &alarms](const QModelIndex& index) {
                selectDetector(alarms.conditions().rows()[std::size_t(index.row())].record);
            }));
    return box;
}

QWidget* MainWindow::buildPlanArea()
{
    planPanel = new QWidget;
    planPanel->setObjectName(QStringLiteral("planPanel"));
    auto* layout = new QVBoxLayout(planPanel);
    planTitle = new QLabel;
    planTitle->setObjectName(QStringLiteral("planTitle"));
    QFont title = pixelFont(13, scale_);
    title.setUnderline(true);
    planTitle->setFont(title);
    planTitle->setStyleSheet(QStringLiteral("color: palette(highlight);"));
    layout->addWidget(planTitle);
    Workstation& w = *workstation_;
    planPicture = new PlanPicture(w.planArea(), w.markers(), w.planEditor(), *actions_->detectorMenu, loop_,
                                  std::max(PlanMarker::size, displayscale::scaled(PlanMarker::size, scale_)));
    layout->addWidget(planPicture, 1);
    return planPanel;
}

QWidget* MainWindow::buildEventArea()
{
    eventPanel = new QWidget;
    eventPanel->setObjectName(QStringLiteral("eventPanel"));
    auto* layout = new QHBoxLayout(eventPanel);
    layout->setContentsMargins(0, 0, 0, 0);
    eventGrid = new QTableView;
    eventGrid->setObjectName(QStringLiteral("eventGrid"));
    tableModel_ = new EventTableModel(workstation_->table(), this);
    eventGrid->setModel(tableModel_);
    eventGrid->setItemDelegate(new GridTextDelegate(eventGrid));
    eventGrid->verticalHeader()->hide();
    eventGrid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    eventGrid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    eventGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    eventGrid->setSelectionMode(QAbstractItemView::ContiguousSelection);
    eventGrid->setTabKeyNavigation(false);
    // One line per event: a cell too narrow for its text elides it, never wraps it.
    eventGrid->setWordWrap(false);
    eventGrid->verticalHeader()->setDefaultSectionSize(eventGrid->fontMetrics().height() + 8);
    eventGrid->setFocusPolicy(Qt::ClickFocus);
    eventGrid->horizontalHeader()->setSectionsMovable(false);
    // The message column follows the grid's width, which the layout settles after the window's.
    eventGrid->viewport()->installEventFilter(this);
    for (int column = 0; column < EventTable::ColumnCount; ++column)
        eventGrid->setColumnWidth(column, workstation_->table().columnWidth(column));
    layout->addWidget(eventGrid, 1);

    auto* spin = new QWidget;
    spin->setObjectName(QStringLiteral("eventGridScroll"));
    spin->setToolTip(QStringLiteral("Развернуть/свернуть таблицу"));
    auto* arrows = new QVBoxLayout(spin);
    arrows->setContentsMargins(0, 0, 0, 0);
    auto* up = new QToolButton;
    up->setArrowType(Qt::UpArrow);
    up->setToolTip(spin->toolTip());
    auto* down = new QToolButton;
    down->setArrowType(Qt::DownArrow);
    down->setToolTip(spin->toolTip());
    arrows->addWidget(up);
    arrows->addWidget(down);
    arrows->addStretch();
    layout->addWidget(spin, 0, Qt::AlignTop);
    // The grid's height settles after the layout switch that scrolled it.
    connect(eventGrid->verticalScrollBar(), &QScrollBar::rangeChanged, this, guarded([this] { scrollGrid(); }));
    connect(up, &QToolButton::clicked, this, guarded([this] { workstation_->table().scrollUp(); }));
    connect(down, &QToolButton::clicked, this, guarded([this] { workstation_->table().scrollDown(); }));
    connect(eventGrid->horizontalHeader(), &QHeaderView::sectionResized, this, guarded([this](int column, int, int width) {
                if (width != workstation_->table().columnWidth(column))
                    workstation_->table().setColumnWidth(column, width);
            }));
    return eventPanel;
}

QWidget* MainWindow::buildCompositionPanel()
{
    auto* box = new QGroupBox(QStringLiteral("СОСТАВ КОМПЛЕКСА"));
    box->setObjectName(QStringLiteral("compositionPanel"));
    compositionPanel = box;
    auto* layout = new QVBoxLayout(box);
    compositionView = new QTreeView;
    compositionView->setObjectName(QStringLiteral("compositionView"));
    compositionView->setHeaderHidden(true);
    compositionView->setIndentation(displayscale::scaled(19, scale_));
    compositionView->setIconSize(QSize(displayscale::scaled(16, scale_), displayscale::scaled(16, scale_)));
    // All rows are one line with a 16-pixel picture; without this the view measures every row of
    // the expanded tree at the first change of a picture.
    compositionView->setUniformRowHeights(true);
    compositionView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    compositionView->setContextMenuPolicy(Qt::CustomContextMenu);
    treeModel_ = new CompositionTreeModel(workstation_->tree(), this);
    compositionView->setModel(treeModel_);
    compositionView->setItemDelegate(new TreeTextDelegate(compositionView));
    layout->addWidget(compositionView);
    return box;
}

QWidget* MainWindow::buildStatusBar()
{
    auto* bar = new QFrame;
    bar->setObjectName(QStringLiteral("statusStrip"));
    bar->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QHBoxLayout(bar);
    // The command panel is at least as wide as the design's and widens for a longer command;
    // the message panels share the rest and wrap what does not fit on one line.
    auto* command = new QWidget;
    command->setMinimumWidth(261);
    auto* commandLayout = new QHBoxLayout(command);
    commandLayout->setContentsMargins(0, 0, 0, 0);
    linkLamp = new QFrame;
    linkLamp->setObjectName(QStringLiteral("linkLamp"));
    linkLamp->setFixedSize(displayscale::scaled(15, scale_), displayscale::scaled(12, scale_));
    commandLayout->addWidget(linkLamp);
    commandPanel = new QLabel;
    commandPanel->setObjectName(QStringLiteral("commandPanel"));
    commandPanel->setFont(pixelFont(11, scale_));
    commandLayout->addWidget(commandPanel, 1);
    layout->addWidget(command);
    statePanel = new QLabel;
    statePanel->setObjectName(QStringLiteral("statePanel"));
    statePanel->setFont(pixelFont(11, scale_));
    // A closed port's reason ("COM1: нет доступа (группа dialout)") is longer than the link
    // states and must be read whole: the panel widens for it at the message panel's expense.
    statePanel->setMinimumWidth(displayscale::scaled(147, scale_));
    layout->addWidget(statePanel);
    messagePanel = new QLabel;
    messagePanel->setObjectName(QStringLiteral("messagePanel"));
    messagePanel->setFont(pixelFont(13, scale_));
    messagePanel->setWordWrap(true);
    messagePanel->setMinimumWidth(1);
    layout->addWidget(messagePanel, 1);
    soundTrouble_ = new QLabel;
    soundTrouble_->setObjectName(QStringLiteral("soundTrouble"));
    soundTrouble_->setFont(pixelFont(13, scale_, true));
    soundTrouble_->setStyleSheet(QStringLiteral("color: red;"));
    soundTrouble_->setWordWrap(true);
    soundTrouble_->hide();
    layout->addWidget(soundTrouble_, 1);
    accessStatus_ = new QLabel;
    accessStatus_->setObjectName(QStringLiteral("accessStatus"));
    accessStatus_->setFont(pixelFont(11, scale_));
    accessStatus_->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(accessStatus_);
    remoteLink_ = new QLabel;
    remoteLink_->setObjectName(QStringLiteral("remoteLink"));
    remoteLink_->setFont(pixelFont(11, scale_));
    remoteLink_->hide();
    layout->addWidget(remoteLink_);
    return bar;
}

} // namespace kirvan
