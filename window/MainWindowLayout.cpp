#include "console/TForm1.h"

#include "console/CompositionTreeModel.h"
#include "console/GridTextDelegate.h"
#include "console/EventTableModel.h"
#include "console/PixelFont.h"
#include "console/PlanPicture.h"
#include "events/AlarmState.h"
#include "plans/TImgDat.h"

#include <QAction>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
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

QToolButton* toolButton(QAction* action, const QString& tooltip, double scale)
{
    auto* button = new QToolButton;
    button->setDefaultAction(action);
    button->setFixedSize(displayscale::scaled(27, scale), displayscale::scaled(26, scale));
    button->setIconSize(QSize(displayscale::scaled(16, scale), displayscale::scaled(16, scale)));
    button->setToolTip(tooltip);
    return button;
}

} // namespace

QWidget* TForm1::buildToolbarStrip()
{
    auto* strip = new QWidget;
    strip->setObjectName(QStringLiteral("Panel1"));
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

    totalControlButton_ = toolButton(actions_->TotalControl, {}, scale_);
    layout->addWidget(totalControlButton_);
    layout->addWidget(toolButton(actions_->AllSoundOff, QStringLiteral("Команда \"Отключить звук\""), scale_));
    layout->addWidget(toolButton(actions_->AlarmOff, QStringLiteral("Команда \"Сбросить тревогу\""), scale_));
    Edit1 = new QLineEdit;
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setReadOnly(true);
    Edit1->setFocusPolicy(Qt::NoFocus);
    // Read from across the guard room: the word's capitals about a centimetre high on the
    // screens the scale is chosen for, and every word whole.
    Edit1->setFont(pixelFont(statusWordPixels, scale_, true));
    int widest = 0;
    for (int level = Annunciation::Normal; level <= Annunciation::Technology; ++level)
        widest = std::max(widest, Edit1->fontMetrics().horizontalAdvance(AlarmState::wordOf(level)));
    Edit1->setFixedWidth(widest + Edit1->fontMetrics().averageCharWidth() * 2);
    layout->addWidget(Edit1);
    layout->addWidget(toolButton(actions_->ReadArhiv, QStringLiteral("Посмотреть архив"), scale_));
    layout->addWidget(toolButton(actions_->HelpMonitor, QStringLiteral("Справка"), scale_));
    return strip;
}

QWidget* TForm1::buildPlanArea()
{
    Panel8 = new QWidget;
    Panel8->setObjectName(QStringLiteral("Panel8"));
    auto* layout = new QVBoxLayout(Panel8);
    Label1 = new QLabel;
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont title = pixelFont(13, scale_);
    title.setUnderline(true);
    Label1->setFont(title);
    Label1->setStyleSheet(QStringLiteral("color: palette(highlight);"));
    layout->addWidget(Label1);
    Workstation& w = *workstation_;
    Image1 = new PlanPicture(w.planArea(), w.markers(), w.planEditor(), *actions_->PopupMenu4, loop_,
                             std::max(TImgDat::size, displayscale::scaled(TImgDat::size, scale_)));
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
    StringGrid1->setItemDelegate(new GridTextDelegate(StringGrid1));
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
    GroupBox1 = box;
    auto* layout = new QVBoxLayout(box);
    TreeView1 = new QTreeView;
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    TreeView1->setIndentation(displayscale::scaled(19, scale_));
    TreeView1->setIconSize(QSize(displayscale::scaled(16, scale_), displayscale::scaled(16, scale_)));
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
    bar->setFrameShape(QFrame::StyledPanel);
    auto* layout = new QHBoxLayout(bar);
    // The command panel is at least as wide as the design's and widens for a longer command;
    // the message panels share the rest and wrap what does not fit on one line.
    auto* command = new QWidget;
    command->setMinimumWidth(261);
    auto* commandLayout = new QHBoxLayout(command);
    commandLayout->setContentsMargins(0, 0, 0, 0);
    Shape2 = new QFrame;
    Shape2->setObjectName(QStringLiteral("Shape2"));
    Shape2->setFixedSize(displayscale::scaled(15, scale_), displayscale::scaled(12, scale_));
    commandLayout->addWidget(Shape2);
    Panel13 = new QLabel;
    Panel13->setObjectName(QStringLiteral("Panel13"));
    Panel13->setFont(pixelFont(11, scale_));
    commandLayout->addWidget(Panel13, 1);
    layout->addWidget(command);
    Panel15 = new QLabel;
    Panel15->setObjectName(QStringLiteral("Panel15"));
    Panel15->setFont(pixelFont(11, scale_));
    // A closed port's reason ("COM1: нет доступа (группа dialout)") is longer than the link
    // states and must be read whole: the panel widens for it at the message panel's expense.
    Panel15->setMinimumWidth(displayscale::scaled(147, scale_));
    layout->addWidget(Panel15);
    Panel17 = new QLabel;
    Panel17->setObjectName(QStringLiteral("Panel17"));
    Panel17->setFont(pixelFont(13, scale_));
    Panel17->setWordWrap(true);
    Panel17->setMinimumWidth(1);
    layout->addWidget(Panel17, 1);
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
