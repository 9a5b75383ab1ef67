#include "window/MainWindow.h"

#include "complex/ControlModuleEditor.h"
#include "window/ActiveConditionsModel.h"
#include "window/CompositionTreeModel.h"
#include "events/AlarmSummary.h"
#include "platform/DisplayScale.h"
#include "window/EventTableModel.h"
#include "window/HistoryListModel.h"
#include "dialogs/AboutDialog.h"
#include "dialogs/DialogPlacement.h"
#include "dialogs/HelpWindow.h"
#include "platform/CompanionProgram.h"
#include "window/OperatorKeyGuard.h"
#include "window/PixelFont.h"
#include "window/PlanPicture.h"
#include "icons/StateIcons.h"
#include "dialogs/ModulePrompt.h"
#include "dialogs/ModuleEditorDialog.h"
#include "dialogs/SettingsDialog.h"
#include "files/SettingsKeys.h"
#include "link/PortSelection.h"
#include "platform/Dialogs.h"
#include "platform/Locale.h"

#include <QAction>
#include <QApplication>
#include <QActionGroup>
#include <QComboBox>
#include <QDialog>
#include <QDir>
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
#include <QSplitter>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

namespace kirvan {

namespace {

constexpr int smallestWidth = 960;
constexpr int smallestHeight = 670;
constexpr int objectColumn = 2;

QColor toQColor(Rgb rgb)
{
    return QColor(rgb.red, rgb.green, rgb.blue);
}

// A style sheet set again, even the same one, polishes the widget anew; the lamp's colour seldom
// changes.
void restyle(QWidget* widget, const QString& styleSheet)
{
    if (widget->styleSheet() != styleSheet)
        widget->setStyleSheet(styleSheet);
}

} // namespace

MainWindow::MainWindow(const PlatformServices& platform, const WorkstationFolder& folder, std::optional<int> comPort)
    : loop_(platform.loop)
{
    workstation_ = std::make_unique<Workstation>(platform, *this, folder);
    // One factor for every text of the program, its dialogs included: the application's font.
    scale_ = displayscale::forScreen(
        workstation_->settings().ini().readString(settings::sectionSettings, settings::keyScale, {}), screen());
    QFont text = QApplication::font();
    text.setPixelSize(displayscale::scaled(displayscale::designTextPixels, scale_));
    QApplication::setFont(text);
    // This window was made with the font before; its panels, made now, take the new one at once.
    setFont(text);
    setWindowTitle(QStringLiteral("КирванМонитор"));
    setMinimumSize(smallestWidth, smallestHeight);
    actions_ = std::make_unique<MainActions>(*this);
    QApplication::instance()->installEventFilter(new OperatorKeyGuard(*this, actions_->operatorKeys()));
    QApplication::instance()->installEventFilter(new DialogPlacement(this));

    auto* central = new QWidget;
    auto* rows = new QVBoxLayout(central);
    rows->setContentsMargins(0, 0, 0, 0);
    rows->setSpacing(0);
    rows->addWidget(buildToolbarStrip());
    auto* left = new QWidget;
    leftColumn_ = new QVBoxLayout(left);
    leftColumn_->setContentsMargins(0, 0, 0, 0);
    leftColumn_->addWidget(buildAlarmSummary());
    leftColumn_->addWidget(buildPlanArea(), 1);
    leftColumn_->addWidget(buildEventArea());
    // The operator may drag the composition panel's edge.
    splitter_ = new QSplitter(Qt::Horizontal);
    splitter_->setChildrenCollapsible(false);
    splitter_->addWidget(left);
    auto* right = new QWidget;
    auto* rightColumn = new QVBoxLayout(right);
    rightColumn->setContentsMargins(0, 0, 0, 0);
    rightColumn->addWidget(buildCompositionPanel(), 3);
    rightColumn->addWidget(buildAlarmList(), 2);
    splitter_->addWidget(right);
    splitter_->setStretchFactor(0, 1);
    splitter_->setStretchFactor(1, 0);
    rows->addWidget(splitter_, 1);
    rows->addWidget(buildStatusBar());
    setCentralWidget(central);

    connectModels();
    connectCommands();
    fitColumnsToContent(platform.locale);
    connectPlans();
    connectAccess();
    workstation_->runHandler([this, comPort] { workstation_->start(comPort); });

    placeOnScreen();
}

void MainWindow::placeOnScreen()
{
    if (const QScreen* screen = this->screen()) {
        const QRect frame = frameGeometry();
        const QRect client = geometry();
        const QMargins frameMargins(client.left() - frame.left(), client.top() - frame.top(),
                                    frame.right() - client.right(), frame.bottom() - client.bottom());
        setGeometry(mainWindowPlace(screen->availableGeometry(), frameMargins, QSize(smallestWidth, smallestHeight)));
    }
}

void MainWindow::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!placed_ && !isFullScreen() && !isMaximized()) {
        placed_ = true;
        placeOnScreen();
    }
}

void MainWindow::fitToComplex()
{
    fitObjectColumn();
    fitCompositionPanel();
}

// The object column names a system or the complex: as wide as the longest of them, so that at a
// large scale the message column keeps the room the design's width would take.
void MainWindow::fitObjectColumn()
{
    QString widest = QStringLiteral("КОМПЛЕКС");
    for (const auto& system : workstation_->tree().topLevel()) {
        const QString name = system->text().section(u':', 1);
        if (eventGrid->fontMetrics().horizontalAdvance(name) > eventGrid->fontMetrics().horizontalAdvance(widest))
            widest = name;
    }
    const int width = std::max(eventGrid->fontMetrics().horizontalAdvance(widest) + cellMargins(),
                               eventGrid->horizontalHeader()->sectionSizeHint(objectColumn));
    workstation_->table().setColumnWidth(objectColumn, width);
    applyTableLayout();
    fitToGrid();
}

void MainWindow::fitCompositionPanel()
{
    if (!splitter_ || panelWidthByOperator_)
        return;
    // The tree's widest line as the view lays it out (indentation and pictures included), the
    // view's frame and scroll bar, and the panel's own margins.
    const int tree = static_cast<QAbstractItemView*>(compositionView)->sizeHintForColumn(0)
                     + 2 * compositionView->frameWidth() + compositionView->verticalScrollBar()->sizeHint().width();
    const QMargins box = compositionPanel->contentsMargins() + compositionPanel->layout()->contentsMargins();
    const int wanted = std::max(displayscale::scaled(314, scale_), tree + box.left() + box.right());
    const int whole = splitter_->width();
    const int panel = std::min(wanted, whole / 3);
    splitter_->setSizes({std::max(whole - panel, 1), panel});
}

MainWindow::~MainWindow()
{
    // The views go with the window's widgets, after the workstation whose models they show.
    eventGrid->viewport()->removeEventFilter(this);
    eventGrid->setModel(nullptr);
    compositionView->setModel(nullptr);
    delete helpWindow_;
}

void MainWindow::showPlanTitle()
{
    planTitle->setText(workstation_->planArea().title());
}

void MainWindow::showTreePopup(const QPoint& at)
{
    const TreePopup& popup = workstation_->popup();
    QMenu* menu = nullptr;
    switch (popup.menu()) {
    case TreePopup::Menu::None:
        return;
    case TreePopup::Menu::planMenu:
        menu = actions_->planMenu;
        break;
    case TreePopup::Menu::markerMenu:
        menu = actions_->markerMenu;
        break;
    case TreePopup::Menu::treeMenu:
        menu = actions_->treeMenu;
        break;
    }
    if (menu == actions_->treeMenu) {
        const QList<QAction*> items = menu->actions();
        for (int item = 0; item < TreePopup::itemCount && item < items.size(); ++item)
            items[item]->setVisible(popup.visible(static_cast<TreePopup::Item>(item)));
    }
    menu->popup(compositionView->viewport()->mapToGlobal(at));
}

void MainWindow::showStatusField()
{
    const AlarmState& alarms = workstation_->alarms();
    statusWord->setText(alarms.text());
    QPalette palette = statusWord->palette();
    palette.setColor(QPalette::Base, toQColor(alarms.colour()));
    palette.setColor(QPalette::Text, toQColor(alarms.letterColour()));
    statusWord->setPalette(palette);
}

void MainWindow::showAlarms()
{
    const ActiveConditions& conditions = workstation_->alarmList().conditions();
    // Rows come and go at the list's end, so the operator's current row stays. The columns fit
    // the rows in view, measured again only when one of them changed.
    const int rowHeight = std::max(activeAlarms->verticalHeader()->defaultSectionSize(), 1);
    const int inView = activeAlarms->viewport()->height() / rowHeight + 1;
    if (alarmsModel_->refresh(std::max(activeAlarms->rowAt(0), 0), inView))
        activeAlarms->resizeColumnsToContents();
    simulationWord->setVisible(conditions.simulation());
    alarmSummary->setVisible(!conditions.rows().empty());
    alarmListPanel->setVisible(!conditions.rows().empty());
    alarmCounts->setText(alarmsummary::counts(conditions.counts()));
    const Locale& locale = workstation_->platform().locale;
    // A link: a click selects the fire's detector.
    const auto link = [](const QString& text) {
        return QStringLiteral("<a href=\"#\" style=\"color: rgb(200, 0, 0);\">%1</a>").arg(text.toHtmlEscaped());
    };
    firstFire->setText(link(alarmsummary::fire(QStringLiteral("ПЕРВЫЙ ПОЖАР"), conditions.firstFire(), locale)));
    newestFire->setText(link(alarmsummary::fire(QStringLiteral("ПОСЛЕДНИЙ ПОЖАР"), conditions.newestFire(), locale)));
    firstFire->setVisible(conditions.firstFire() != nullptr);
    newestFire->setVisible(conditions.newestFire() && conditions.newestFire() != conditions.firstFire());
}

void MainWindow::selectDetector(const QString& record)
{
    CompositionTree& tree = workstation_->tree();
    if (TreeNode* node = tree.detectorNode(record.left(2), record.mid(3, 6)))
        tree.select(node);
}

void MainWindow::showStatusBar()
{
    const StatusBar& status = workstation_->statusBar();
    commandPanel->setText(status.commandPanel());
    statePanel->setText(status.statePanel());
    statePanel->setAlignment((status.statePanelCentred() ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignVCenter);
    messagePanel->setText(status.messagePanel());
    messagePanel->setVisible(!status.messagePanel().isEmpty());
    QFont message = pixelFont(13, scale_, status.messagePanelAlert());
    message.setUnderline(status.messagePanelAlert());
    if (messagePanel->font() != message)
        messagePanel->setFont(message);
    restyle(messagePanel, status.messagePanelAlert() ? QStringLiteral("color: red;") : QString());
    soundTrouble_->setText(status.soundTrouble());
    soundTrouble_->setVisible(!status.soundTrouble().isEmpty());
    // The links to the broker and to the receiving centre share one place of the bar.
    QStringList links{status.remote(), status.receiver()};
    links.removeAll(QString());
    remoteLink_->setText(links.join(QStringLiteral("   ")));
    remoteLink_->setVisible(!links.isEmpty());
    const QColor lamp = status.linkLamp() ? toQColor(*status.linkLamp()) : palette().color(QPalette::Button);
    restyle(linkLamp,
        QStringLiteral("background: %1; border: 1px solid gray; border-radius: 3px;").arg(lamp.name()));
}

void MainWindow::showHistory()
{
    historyModel_->refresh();
    historyLine->setEditText(workstation_->log().history().text());
    // A line longer than the box shows its date, time and beginning.
    historyLine->lineEdit()->setCursorPosition(0);
}

// The item's text margins, as the grid's delegate lays a cell out, the grid line, and a pixel the
// text's width may be rounded up by.
int MainWindow::cellMargins() const
{
    return 2 * (eventGrid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, eventGrid) + 1) + 2;
}

// The design's pixel widths were made for another font: where the status word "ТЕХНОЛОГИЯ", a
// date, a time or a five-digit row number would not fit, the column is widened to its content.
void MainWindow::fitColumnsToContent(const Locale& locale)
{
    const QString widest[EventTable::ColumnCount] = {
        QStringLiteral("99999"),           QStringLiteral("ТЕХНОЛОГИЯ"), {}, {}, locale.shortDate(QDate(2000, 12, 28)),
        locale.longTime(QTime(20, 58, 58))};
    const QFontMetrics metrics = eventGrid->fontMetrics();
    const int margins = cellMargins();
    EventTable& table = workstation_->table();
    for (int column = 0; column < EventTable::ColumnCount; ++column) {
        const int content = std::max(metrics.horizontalAdvance(widest[column]) + margins,
                                     eventGrid->horizontalHeader()->sectionSizeHint(column));
        // The message column takes what the others leave.
        if (column != EventTable::MessageColumn && content > table.columnWidth(column))
            table.setColumnWidth(column, content);
    }
}

void MainWindow::applyTableLayout()
{
    const EventTable& table = workstation_->table();
    // Under a flood this runs once a second for new rows alone; laying the panels out anew
    // each time would cost more than the rows.
    std::array<int, EventTable::ColumnCount + 1> layout{table.expanded() ? 1 : 0};
    for (int column = 0; column < EventTable::ColumnCount; ++column)
        layout[std::size_t(column) + 1] = table.columnWidth(column);
    if (tableLayout_ == layout) {
        scrollGrid();
        return;
    }
    tableLayout_ = layout;
    planPanel->setVisible(table.planVisible());
    leftColumn_->setStretchFactor(eventPanel, table.expanded() ? 1 : 0);
    // Collapsed under the plan at the design height; expanded over the plan area.
    if (table.expanded()) {
        eventPanel->setMinimumHeight(0);
        eventPanel->setMaximumHeight(QWIDGETSIZE_MAX);
    } else {
        eventPanel->setFixedHeight(displayscale::scaled(194, scale_));
    }
    for (int column = 0; column < EventTable::ColumnCount; ++column)
        if (eventGrid->columnWidth(column) != table.columnWidth(column))
            eventGrid->setColumnWidth(column, table.columnWidth(column));
    scrollGrid();
}

// The table's top row at the top. Where the grid has room for fewer rows than the layout keeps
// in view (a small screen, a large font), the newest row still shows: a new fire must never be
// below the grid's edge.
void MainWindow::scrollGrid()
{
    const EventTable& table = workstation_->table();
    eventGrid->scrollTo(tableModel_->index(table.topRow() - 1, 0), QAbstractItemView::PositionAtTop);
    const int newest = table.fillingRow() - 1;
    if (newest >= 1)
        eventGrid->scrollTo(tableModel_->index(newest - 1, 0), QAbstractItemView::EnsureVisible);
}

void MainWindow::fitToGrid()
{
    if (workstation_->settingsOpen())
        workstation_->table().fitToGrid(eventGrid->viewport()->width());
}

void MainWindow::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    fitCompositionPanel();
    workstation_->runHandler([this] { fitToGrid(); });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // The grid settles its width after the window's; only the message column follows it, since
    // the layout itself changes the grid's size.
    if (watched == eventGrid->viewport() && event->type() == QEvent::Resize && workstation_->settingsOpen())
        workstation_->runHandler([this, event] {
            const QSize size = static_cast<QResizeEvent*>(event)->size();
            EventTable& table = workstation_->table();
            table.setRowsShown(std::max(1, size.height() / eventGrid->verticalHeader()->defaultSectionSize()));
            table.fitMessageColumn(size.width());
        });
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        workstation_->runHandler([this] { workstation_->windowActivated(); });
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    // A stop asked for elsewhere (a stop signal, --quit-after) is not the operator's to refuse.
    const bool operatorsOwn = loop_.stopRequests() == 0;
    Workstation& w = *workstation_;
    const QString exitCaption = captionOf(actions_->exit);
    bool permitted = true;
    workstation_->runHandler([&] { permitted = !operatorsOwn || w.access().permit(ConsoleCommand::Exit, exitCaption); });
    if (!permitted) {
        event->ignore();
        return;
    }
    if (operatorsOwn && w.alarms().blinking()
        && w.platform().dialogs.messageBox(QStringLiteral("ВНИМАНИЕ"),
                                           QStringLiteral("Тревога не отключена. Завершить работу программы?"),
                                           Dialogs::Icon::Question, Dialogs::Buttons::YesNo)
               != Dialogs::Answer::Yes) {
        event->ignore();
        return;
    }
    if (operatorsOwn)
        workstation_->runHandler([&] { w.access().performed(ConsoleCommand::Exit, exitCaption); });
    loop_.requestStop();
    workstation_->runHandler([this] { workstation_->windowClosed(); });
    if (helpWindow_)
        helpWindow_->close();
    QMainWindow::closeEvent(event);
}

// Every alarm row brings the window to the front, also from behind other programs' windows and
// the program's reading windows (help, journal viewer). A window that asks a question (a modal
// dialog, the control-module prompt) stays in front with the keyboard: without a window manager
// nothing but this raise keeps it over the main window.
void MainWindow::restoreMainWindow()
{
    if (windowRaises_)
        windowRaises_->changed();
    else
        bringForward();
}

// Each raise and activation is a round trip to the window system.
void MainWindow::bringForward()
{
    if (isMinimized())
        showNormal();
    raise();
    QWidget* question = QApplication::activeModalWidget();
    if (ModulePrompt* prompt = modulePrompt.data(); !question && prompt != nullptr && prompt->isVisible())
        question = prompt;
    if (question) {
        question->raise();
        return;
    }
    activateWindow();
}

void MainWindow::showJournalViewer()
{
    // A program of its own (kirvan-journal), so that neither its index of the archive nor an
    // export ever weighs on this process; one viewer, brought forward when it runs already, which
    // closes when this program ends. Everything it offers is for everyone (level 1): nothing of
    // the session needs to cross, and nothing is journaled, as before.
    if (!workstation_->platform().journalViewer.show())
        workstation_->platform().dialogs.notice(QStringLiteral("Просмотр журнала"),
                                                QStringLiteral("Не удалось запустить программу просмотра журнала."),
                                                Dialogs::Icon::Warning);
}

void MainWindow::showHelpWindow(const QString& page)
{
    // Like the journal viewer: a window of its own, which an alarm can put the main window over.
    if (!helpWindow_)
        helpWindow_ = new HelpWindow(workstation_->platform().workers.create(), nullptr);
    helpWindow_->showPage(page);
}

void MainWindow::showAbout()
{
    AboutDialog about(QLatin1String(KIRVAN_VERSION), QDir::toNativeSeparators(workstation_->folder().path()),
                      workstation_->link().ports().portState(), this);
    about.exec();
}

void MainWindow::editControlModule()
{
    ControlModuleEditor editor(workstation_->controlModules(), workstation_->tree().selected());
    ModuleEditorDialog form(editor, workstation_->access(), loop_, this);
    form.exec();
}

void MainWindow::showSettings()
{
    if (!settingsDialog_) {
        settingsDialog_ = new SettingsDialog(
            workstation_->settings(), workstation_->access(), loop_,
            [this] {
                workstation_->applySettings();
                // The table's layout is read at each fit.
                fitToGrid();
            },
            this);
        settingsDialog_->setAttribute(Qt::WA_DeleteOnClose);
        settingsDialog_->addActions(actions_->operatorKeys());
    }
    // Over the main window without waiting for it: alarms go on being shown meanwhile.
    settingsDialog_->open();
}

void MainWindow::showModulePrompt()
{
    const bool open = workstation_->controlModules().prompt().has_value();
    if (open && !modulePrompt) {
        auto* prompt = new ModulePrompt(workstation_->controlModules(), workstation_->access(), loop_, this);
        prompt->addActions(actions_->operatorKeys());
        modulePrompt = prompt;
        // Near the lower right corner of the main window's client area, in screen coordinates;
        // the dialogs' placement keeps it on the screen. Its size follows its texts at the
        // window's scale: known once laid out.
        prompt->adjustSize();
        prompt->move(width() - prompt->width() + 18, height() - prompt->height() - 33);
        prompt->show();
    } else if (!open && modulePrompt) {
        // The prompt may be answered from its own button's handler.
        modulePrompt->hide();
        modulePrompt->deleteLater();
        modulePrompt = nullptr;
    }
}

} // namespace kirvan
