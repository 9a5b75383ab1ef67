#include "console/TForm1.h"

#include "config/ControlModuleEditor.h"
#include "console/CompositionTreeModel.h"
#include "console/EventTableModel.h"
#include "console/JournalViewer.h"
#include "console/PlanPicture.h"
#include "console/StateIcons.h"
#include "console/TForm3.h"
#include "console/TForm4.h"
#include "link/PortSelection.h"
#include "platform/Locale.h"

#include <QAction>
#include <QApplication>
#include <QActionGroup>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QResizeEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace kirvan {

namespace {

constexpr int smallestWidth = 960;
constexpr int smallestHeight = 670;

QColor toQColor(Rgb rgb)
{
    return QColor(rgb.red, rgb.green, rgb.blue);
}

QToolButton* toolButton(QAction* action, const QString& tooltip)
{
    auto* button = new QToolButton;
    button->setDefaultAction(action);
    button->setFixedSize(27, 26);
    button->setToolTip(tooltip);
    return button;
}

QFont pixelFont(int pixels, bool bold = false)
{
    QFont font;
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

} // namespace

TForm1::TForm1(const PlatformServices& platform, const WorkstationFolder& folder) : loop_(platform.loop)
{
    workstation_ = std::make_unique<Workstation>(platform, *this, folder);
    setWindowTitle(QStringLiteral("КирванМонитор"));
    setMinimumSize(smallestWidth, smallestHeight);
    actions_ = std::make_unique<MainActions>(*this);

    auto* central = new QWidget;
    auto* rows = new QVBoxLayout(central);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    rows->addWidget(buildToolbarStrip());
    auto* middle = new QHBoxLayout;
    leftColumn_ = new QVBoxLayout;
    leftColumn_->addWidget(buildPlanArea(), 1);
    leftColumn_->addWidget(buildEventArea());
    middle->addLayout(leftColumn_, 1);
    middle->addWidget(buildCompositionPanel());
    rows->addLayout(middle, 1);
    rows->addWidget(buildStatusBar());
    setCentralWidget(central);

    connectModels();
    connectCommands();
    fitColumnsToContent(platform.locale);
    connectPlans();
    workstation_->runHandler([this] { workstation_->start(); });

    // The screen less a margin, never below the minimum; centred when shown.
    if (const QScreen* screen = this->screen()) {
        const QRect available = screen->availableGeometry();
        resize(std::max(smallestWidth, available.width() - 70), std::max(smallestHeight, available.height() - 60));
        move(available.center() - rect().center());
    }
}

TForm1::~TForm1()
{
    // The views go with the window's widgets, after the workstation whose models they show.
    StringGrid1->viewport()->removeEventFilter(this);
    StringGrid1->setModel(nullptr);
    TreeView1->setModel(nullptr);
}

QWidget* TForm1::buildToolbarStrip()
{
    auto* strip = new QWidget;
    strip->setObjectName(QStringLiteral("Panel1"));
    strip->setFixedHeight(39);
    auto* layout = new QHBoxLayout(strip);
    layout->setContentsMargins(4, 4, 4, 4);
    ComboBox1 = new QComboBox;
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    // Every character typed is discarded; choosing an entry shows it.
    ComboBox1->lineEdit()->setReadOnly(true);
    ComboBox1->setMaxVisibleItems(12);
    ComboBox1->setFocusPolicy(Qt::ClickFocus);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    layout->addWidget(ComboBox1, 1);

    totalControlButton_ = toolButton(actions_->TotalControl, {});
    layout->addWidget(totalControlButton_);
    layout->addWidget(toolButton(actions_->AllSoundOff, QStringLiteral("Команда \"Отключить звук\"")));
    layout->addWidget(toolButton(actions_->AlarmOff, QStringLiteral("Команда \"Сбросить тревогу\"")));
    Edit1 = new QLineEdit;
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setReadOnly(true);
    Edit1->setFocusPolicy(Qt::NoFocus);
    Edit1->setFixedWidth(122);
    Edit1->setFont(pixelFont(19, true));
    layout->addWidget(Edit1);
    layout->addWidget(toolButton(actions_->ReadArhiv, QStringLiteral("Посмотреть архив")));
    layout->addWidget(toolButton(actions_->HelpMonitor, QStringLiteral("Справка")));
    return strip;
}

QWidget* TForm1::buildPlanArea()
{
    Panel8 = new QWidget;
    Panel8->setObjectName(QStringLiteral("Panel8"));
    auto* layout = new QVBoxLayout(Panel8);
    Label1 = new QLabel;
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont title = pixelFont(13);
    title.setUnderline(true);
    Label1->setFont(title);
    Label1->setStyleSheet(QStringLiteral("color: palette(highlight);"));
    layout->addWidget(Label1);
    Workstation& w = *workstation_;
    Image1 = new PlanPicture(w.planArea(), w.markers(), w.planEditor(), *actions_->PopupMenu4, loop_);
    layout->addWidget(Image1, 1);
    return Panel8;
}

QWidget* TForm1::buildEventArea()
{
    Panel9 = new QWidget;
    Panel9->setObjectName(QStringLiteral("Panel9"));
    auto* layout = new QHBoxLayout(Panel9);
    layout->setContentsMargins(0, 0, 0, 0);
    StringGrid1 = new QTableView;
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    tableModel_ = new EventTableModel(workstation_->table(), this);
    StringGrid1->setModel(tableModel_);
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
    StringGrid1->setTabKeyNavigation(false);
    // One line per event: a cell too narrow for its text elides it, never wraps it.
    StringGrid1->setWordWrap(false);
    StringGrid1->verticalHeader()->setDefaultSectionSize(StringGrid1->fontMetrics().height() + 8);
    StringGrid1->setFocusPolicy(Qt::ClickFocus);
    StringGrid1->horizontalHeader()->setSectionsMovable(false);
    // The headers carry their own leading blanks.
    StringGrid1->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The message column follows the grid's width, which the layout settles after the window's.
    StringGrid1->viewport()->installEventFilter(this);
    for (int column = 0; column < EventTable::ColumnCount; ++column)
        StringGrid1->setColumnWidth(column, workstation_->table().columnWidth(column));
    layout->addWidget(StringGrid1, 1);

    auto* spin = new QWidget;
    spin->setObjectName(QStringLiteral("SpinButton1"));
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
    connect(StringGrid1->verticalScrollBar(), &QScrollBar::rangeChanged, this, guarded([this] { scrollGrid(); }));
    connect(up, &QToolButton::clicked, this, guarded([this] { workstation_->table().SpinButton1UpClick(); }));
    connect(down, &QToolButton::clicked, this, guarded([this] { workstation_->table().SpinButton1DownClick(); }));
    connect(StringGrid1->horizontalHeader(), &QHeaderView::sectionResized, this,
            guarded([this](int column, int, int width) {
                if (width != workstation_->table().columnWidth(column))
                    workstation_->table().setColumnWidth(column, width);
            }));
    return Panel9;
}

QWidget* TForm1::buildCompositionPanel()
{
    auto* box = new QGroupBox(QStringLiteral("СОСТАВ КОМПЛЕКСА"));
    box->setObjectName(QStringLiteral("GroupBox1"));
    box->setFixedWidth(314);
    auto* layout = new QVBoxLayout(box);
    TreeView1 = new QTreeView;
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setIndentation(19);
    // All rows are one line with a 16-pixel picture; without this the view measures every row of
    // the expanded tree at the first change of a picture.
    TreeView1->setUniformRowHeights(true);
    TreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    TreeView1->setContextMenuPolicy(Qt::CustomContextMenu);
    treeModel_ = new CompositionTreeModel(workstation_->tree(), this);
    TreeView1->setModel(treeModel_);
    layout->addWidget(TreeView1);
    return box;
}

QWidget* TForm1::buildStatusBar()
{
    auto* bar = new QFrame;
    bar->setObjectName(QStringLiteral("Panel10"));
    bar->setFixedHeight(42);
    bar->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QHBoxLayout(bar);
    auto* command = new QWidget;
    command->setFixedWidth(261);
    auto* commandLayout = new QHBoxLayout(command);
    commandLayout->setContentsMargins(0, 0, 0, 0);
    Shape2 = new QFrame;
    Shape2->setObjectName(QStringLiteral("Shape2"));
    Shape2->setFixedSize(15, 12);
    commandLayout->addWidget(Shape2);
    Panel13 = new QLabel;
    Panel13->setObjectName(QStringLiteral("Panel13"));
    Panel13->setFont(pixelFont(11));
    commandLayout->addWidget(Panel13, 1);
    layout->addWidget(command);
    Panel15 = new QLabel;
    Panel15->setObjectName(QStringLiteral("Panel15"));
    Panel15->setFont(pixelFont(11));
    // A closed port's reason ("COM1: нет доступа (группа dialout)") is longer than the link
    // states and must be read whole: the panel widens for it at the message panel's expense.
    Panel15->setMinimumWidth(147);
    layout->addWidget(Panel15);
    Panel17 = new QLabel;
    Panel17->setObjectName(QStringLiteral("Panel17"));
    Panel17->setFont(pixelFont(13));
    layout->addWidget(Panel17, 1);
    return bar;
}

void TForm1::connectModels()
{
    Workstation& w = *workstation_;
    w.alarms().setOnChanged([this] { showStatusField(); });
    w.statusBar().setOnChanged([this] { showStatusBar(); });
    w.log().history().setOnChanged([this] { showHistory(); });
    w.table().setOnChanged([this] {
        tableModel_->refresh();
        applyTableLayout();
    });
    w.tree().setOnPictureChanged([this](TreeNode& node) { treeModel_->pictureChanged(node); });
    w.setOnTreeSelection([this](TreeNode* node) { TreeView1->setCurrentIndex(treeModel_->indexOf(node)); });
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
    w.systems().setOnClearPlan([this] { workstation_->planArea().showPicture(QImage(), {}); });
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

void TForm1::showPlanTitle()
{
    Label1->setText(workstation_->planArea().title());
}

void TForm1::showTreePopup(const QPoint& at)
{
    const TreePopup& popup = workstation_->popup();
    QMenu* menu = nullptr;
    switch (popup.menu()) {
    case TreePopup::Menu::None: return;
    case TreePopup::Menu::PopupMenu1: menu = actions_->PopupMenu1; break;
    case TreePopup::Menu::PopupMenu2: menu = actions_->PopupMenu2; break;
    case TreePopup::Menu::PopupMenu3: menu = actions_->PopupMenu3; break;
    }
    if (menu == actions_->PopupMenu3) {
        const QList<QAction*> items = menu->actions();
        for (int item = 0; item < TreePopup::itemCount && item < items.size(); ++item)
            items[item]->setVisible(popup.visible(static_cast<TreePopup::Item>(item)));
    }
    menu->popup(TreeView1->viewport()->mapToGlobal(at));
}

void TForm1::showStatusField()
{
    const AlarmState& alarms = workstation_->alarms();
    Edit1->setText(alarms.text());
    QPalette palette = Edit1->palette();
    palette.setColor(QPalette::Base, toQColor(alarms.colour()));
    palette.setColor(QPalette::Text, alarms.AlarmLevel() == Annunciation::Normal ? Qt::white : Qt::black);
    Edit1->setPalette(palette);
}

void TForm1::showStatusBar()
{
    const StatusBar& status = workstation_->statusBar();
    Panel13->setText(status.Panel13());
    Panel15->setText(status.Panel15());
    Panel15->setAlignment((status.Panel15Centred() ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
    Panel17->setText(status.Panel17());
    QFont message = pixelFont(13, status.Panel17Alert());
    message.setUnderline(status.Panel17Alert());
    Panel17->setFont(message);
    Panel17->setStyleSheet(status.Panel17Alert() ? QStringLiteral("color: red;") : QString());
    const QColor lamp = status.Shape2() ? toQColor(*status.Shape2()) : palette().color(QPalette::Button);
    Shape2->setStyleSheet(QStringLiteral("background: %1; border: 1px solid gray; border-radius: 3px;").arg(lamp.name()));
}

void TForm1::showHistory()
{
    const HistoryLine& history = workstation_->log().history();
    const QStringList& list = history.list();
    // Lines are appended, and beyond the bound the oldest leaves: follow that without rebuilding
    // a long list for every line.
    if (ComboBox1->count() == list.size() && ComboBox1->count() > 0 && ComboBox1->itemText(0) != list.front())
        ComboBox1->removeItem(0);
    if (ComboBox1->count() == list.size() - 1) {
        ComboBox1->addItem(list.back());
    } else if (ComboBox1->count() != list.size()) {
        ComboBox1->clear();
        ComboBox1->addItems(list);
    }
    ComboBox1->setEditText(history.text());
}

// The design's pixel widths were made for another font: where the status word "ТЕХНОЛОГИЯ", a
// date, a time or a five-digit row number would not fit, the column is widened to its content.
void TForm1::fitColumnsToContent(const Locale& locale)
{
    const QString widest[EventTable::ColumnCount] = {
        QStringLiteral("99999"), QStringLiteral("ТЕХНОЛОГИЯ"), {}, {},
        locale.shortDate(QDate(2000, 12, 28)), locale.longTime(QTime(20, 58, 58))};
    const QFontMetrics metrics = StringGrid1->fontMetrics();
    // The item's text margins, as the grid's delegate lays a cell out, and the grid line.
    const int margins = 2 * (StringGrid1->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, StringGrid1) + 1) + 1;
    EventTable& table = workstation_->table();
    for (int column = 0; column < EventTable::ColumnCount; ++column) {
        const int content = std::max(metrics.horizontalAdvance(widest[column]) + margins,
                                     StringGrid1->horizontalHeader()->sectionSizeHint(column));
        if (!widest[column].isEmpty() && content > table.columnWidth(column))
            table.setColumnWidth(column, content);
    }
}

void TForm1::applyTableLayout()
{
    const EventTable& table = workstation_->table();
    Panel8->setVisible(table.planVisible());
    leftColumn_->setStretchFactor(Panel9, table.expanded() ? 1 : 0);
    // Collapsed under the plan at the design height; expanded over the plan area.
    if (table.expanded()) {
        Panel9->setMinimumHeight(0);
        Panel9->setMaximumHeight(QWIDGETSIZE_MAX);
    } else {
        Panel9->setFixedHeight(194);
    }
    for (int column = 0; column < EventTable::ColumnCount; ++column)
        if (StringGrid1->columnWidth(column) != table.columnWidth(column))
            StringGrid1->setColumnWidth(column, table.columnWidth(column));
    scrollGrid();
}

// The table's top row at the top. Where the grid has room for fewer rows than the layout keeps
// in view (a small screen, a large font), the newest row still shows: a new fire must never be
// below the grid's edge.
void TForm1::scrollGrid()
{
    const EventTable& table = workstation_->table();
    StringGrid1->scrollTo(tableModel_->index(table.topRow() - 1, 0), QAbstractItemView::PositionAtTop);
    const int newest = table.JournalRow() - 1;
    if (newest >= 1)
        StringGrid1->scrollTo(tableModel_->index(newest - 1, 0), QAbstractItemView::EnsureVisible);
}

void TForm1::FormResize()
{
    if (workstation_->settingsOpen())
        workstation_->table().FormResize(StringGrid1->viewport()->width());
}

void TForm1::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    workstation_->runHandler([this] { FormResize(); });
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    // The grid settles its width after the window's; only the message column follows it, since
    // the layout itself changes the grid's size.
    if (watched == StringGrid1->viewport() && event->type() == QEvent::Resize && workstation_->settingsOpen())
        workstation_->runHandler([this, event] {
            workstation_->table().fitMessageColumn(static_cast<QResizeEvent*>(event)->size().width());
        });
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        workstation_->runHandler([this] { workstation_->FormActivate(); });
}

void TForm1::closeEvent(QCloseEvent* event)
{
    workstation_->runHandler([this] { workstation_->FormClose(); });
    QMainWindow::closeEvent(event);
}

// Every alarm row brings the window to the front, also from behind other programs' windows. An
// operator typing into one of the program's dialogs keeps the keyboard there.
void TForm1::restoreMainWindow()
{
    if (isMinimized())
        showNormal();
    raise();
    QWidget* active = QApplication::activeWindow();
    if (active && active != this) {
        active->raise();
        return;
    }
    activateWindow();
}

void TForm1::showJournalViewer()
{
    // One viewer, brought forward when it is open already; it closes with the main window.
    if (!journalViewer_) {
        const PlatformServices& platform = workstation_->platform();
        journalViewer_ = new JournalViewer(workstation_->folder().logFile(), platform.locale, platform.clock, this);
        journalViewer_->setAttribute(Qt::WA_DeleteOnClose);
    }
    journalViewer_->show();
    journalViewer_->raise();
    journalViewer_->activateWindow();
}

void TForm1::AboutExecute()
{
    // A new window every time, modal, fixed size, centred on the main window.
    QDialog about(this, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    about.setWindowTitle(QStringLiteral("О программе"));
    about.setFixedSize(296, 146);
    auto* layout = new QVBoxLayout(&about);
    auto* name = new QLabel(QStringLiteral("Программа KirvanMonitorP"));
    name->setFont(pixelFont(13));
    layout->addWidget(name);
    auto* details = new QLabel(QStringLiteral("Версия %1\nАРМ оператора комплекса КИРВАН").arg(QLatin1String(KIRVAN_VERSION)));
    details->setFont(pixelFont(13));
    layout->addWidget(details);
    layout->addStretch();
    about.exec();
}

void TForm1::AddModulControlExecute()
{
    ControlModuleEditor editor(workstation_->controlModules(), workstation_->tree().selected());
    TForm4 form(editor, loop_, this);
    form.exec();
}

void TForm1::showModulePrompt()
{
    const bool open = workstation_->controlModules().prompt().has_value();
    if (open && !Form3) {
        auto* prompt = new TForm3(workstation_->controlModules(), loop_, this);
        Form3 = prompt;
        // Near the lower right corner of the main window's client area, in screen coordinates,
        // but never off the screen: a main window larger than the screen would push it out.
        QPoint at(width() - 260, height() - 185);
        if (const QScreen* screen = this->screen()) {
            const QRect area = screen->availableGeometry();
            at.setX(std::max(area.left(), std::min(at.x(), area.right() + 1 - prompt->width())));
            at.setY(std::max(area.top(), std::min(at.y(), area.bottom() + 1 - prompt->height())));
        }
        prompt->move(at);
        prompt->show();
    } else if (!open && Form3) {
        // The prompt may be answered from its own button's handler.
        Form3->hide();
        Form3->deleteLater();
        Form3 = nullptr;
    }
}

} // namespace kirvan
