#include "window/MainWindow.h"
#include "window/ViewUpdatePeriod.h"

#include "complex/ControlModuleEditor.h"
#include "complex/StateIcon.h"
#include "platform/DisplayScale.h"
#include "icons/StateIcons.h"
#include "dialogs/ModuleEditorDialog.h"

#include "tests/app/WorkstationFixture.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QTableView>
#include <QTreeView>
#include <map>

using namespace Qt::StringLiterals;

namespace kirvan::testing {
namespace {

class MainWindowTest : public WorkstationFixture {
protected:
    std::unique_ptr<MainWindow> openWindow()
    {
        return std::make_unique<MainWindow>(platform(), WorkstationFolder(folder.path()));
    }
    // The grid follows the table within a view period, however many rows came.
    void showJournal()
    {
        loop.advance(journalUpdateMs);
        QCoreApplication::processEvents();
    }
};

// The tree's pop-up offers each level its own commands, each under its caption.
TEST_F(MainWindowTest, TreePopUpOffersTheCommandsOfTheSelectedLevel)
{
    writeStoreComplex();
    auto window = openWindow();
    CompositionTree& tree = window->workstation().tree();
    QMenu* menu = window->actions().treeMenu;
    const auto offered = [&](int node) {
        tree.select(tree.nodeAt(node));
        Q_EMIT window->findChild<QTreeView*>(u"compositionView"_s)->customContextMenuRequested({});
        menu->hide();
        QStringList captions;
        for (const QAction* action : menu->actions())
            if (action->isVisible() && !action->isSeparator())
                captions << action->text();
        return captions;
    };
    EXPECT_EQ(offered(1), (QStringList{u"Контроль"_s, u"Отключить звук системы"_s, u"Модуль управления"_s,
                                       u"Показать извещатели на плане"_s, u"Скрыть извещатели на плане"_s}));
    EXPECT_EQ(offered(2),
              (QStringList{u"Контроль"_s, u"Отключить звук системы"_s, u"Модуль управления"_s, u"Включить извещатель"_s,
                           u"Выключить извещатель"_s, u"Показать извещатели на плане"_s,
                           u"Скрыть извещатели на плане"_s, u"Имитировать отказ"_s, u"Имитировать пожар/тревогу"_s}));
}

TEST_F(MainWindowTest, WindowHasItsCaptionAndMinimumSize)
{
    auto window = openWindow();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("КирванМонитор"));
    EXPECT_EQ(window->minimumSize(), QSize(960, 670));
    EXPECT_GE(window->width(), 960);
    EXPECT_GE(window->height(), 670);
}

TEST_F(MainWindowTest, StatePanelKeepsItsWidthAndShowsAPortReasonWhole)
{
    auto window = openWindow();
    window->show();
    auto* panel = window->findChild<QLabel*>(QStringLiteral("statePanel"));
    ASSERT_NE(panel, nullptr);
    StatusBar& bar = window->workstation().statusBar();
    bar.setStatePanel(QStringLiteral("  СОСТОЯНИЕ: НОРМА"));
    QCoreApplication::processEvents();
    EXPECT_EQ(panel->width(), displayscale::scaled(147, window->scale()));
    const QString reason = QStringLiteral("  COM1: нет доступа (группа dialout)");
    bar.setStatePanel(reason);
    loop.advance(journalUpdateMs);
    QCoreApplication::processEvents();
    EXPECT_GE(panel->contentsRect().width(), panel->fontMetrics().horizontalAdvance(reason));
}

TEST_F(MainWindowTest, TableViewFollowsTheLayoutAndScrollsToTheNewestRows)
{
    auto window = openWindow();
    window->show();
    EventTable& table = window->workstation().table();
    for (int row = 1; row < 25; ++row) {
        table.writeCell(0, QString::number(row));
        table.commitJournalRow(1);
    }
    ASSERT_EQ(table.journalRow(), 25);
    table.scrollUp();
    showJournal();
    // No row is hidden while the grid has room for it; it scrolls only when they do not fit.
    EXPECT_EQ(table.topRow(), 1) << "expanded, the grid holds all 24";
    const auto* grid = window->findChild<QTableView*>(QStringLiteral("eventGrid"));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->rowAt(0), 0) << "the grid shows the model's top row";
    const auto* plan = window->findChild<QWidget*>(QStringLiteral("planPanel"));
    ASSERT_NE(plan, nullptr);
    EXPECT_FALSE(plan->isVisible());
    table.scrollDown();
    showJournal();
    const int room = grid->viewport()->height() / grid->rowHeight(0);
    EXPECT_EQ(table.topRow(), 25 - room);
    EXPECT_EQ(grid->rowAt(0), 24 - room);
    EXPECT_TRUE(plan->isVisible());
}

// "Общий контроль" rebuilds a tree that the view shows with a selected detector; a fire from the
// line arrives while the load's message box is open. The view never reaches a freed node, and
// afterwards shows the new tree with its selection.
TEST_F(MainWindowTest, TotalControlReloadsUnderASelectionAndAnEventFromTheLine)
{
    writeStoreComplex();
    auto window = openWindow();
    window->show();
    Workstation& w = window->workstation();
    auto* view = window->findChild<QTreeView*>(QStringLiteral("compositionView"));
    ASSERT_NE(view, nullptr);
    w.tree().select(w.tree().topLevel().front()->children().front()->children().front().get());
    ASSERT_EQ(view->currentIndex().data().toString(), QStringLiteral("И12-05 Коридор"));

    folder.writeText(QStringLiteral("kirvanmonitorp.cnf"),
                     QStringLiteral("A07:ЧУЖАЯ\nA01:СКЛАД\n\tЦех 1\n\t\tИ12-05 Коридор\n"));
    QStringList seen;
    dialogs.whileShown = [&] {
        receiveFire(w);
        for (int y = 2; y < 60; y += 4)
            seen << view->indexAt(QPoint(5, y)).data().toString();
        seen << view->currentIndex().data().toString();
        (void)window->grab();
    };
    window->actions().controlAll->trigger();
    dialogs.whileShown = {};
    ASSERT_EQ(dialogs.shown.size(), 1u);
    seen.removeAll(QString());
    EXPECT_TRUE(seen.isEmpty()) << seen.join(u',').toStdString();
    EXPECT_TRUE(w.log().historyList().join(u'\n').contains(QStringLiteral("01/И12-05/07"))) << "the fire is journalled";
    ASSERT_NE(w.tree().selected(), nullptr);
    EXPECT_EQ(view->currentIndex().data().toString(), w.tree().selected()->text());
    view->expandAll();
    EXPECT_EQ(view->indexAt(QPoint(5, 5)).data().toString(), QStringLiteral("A01:СКЛАД"));
    (void)window->grab();
}

TEST_F(MainWindowTest, TableViewDropsTheOldestRowsAtTheBound)
{
    auto window = openWindow();
    window->show();
    EventTable& table = window->workstation().table();
    const auto* grid = window->findChild<QTableView*>(QStringLiteral("eventGrid"));
    for (int row = 1; row <= EventTable::MaxRows + 3; ++row) {
        table.writeCell(0, QString::number(row));
        table.commitJournalRow(0);
    }
    ASSERT_EQ(table.droppedRows(), 3);
    showJournal();
    EXPECT_EQ(grid->model()->rowCount(), table.rowCount() - 1);
    EXPECT_EQ(grid->model()->index(0, 0).data().toString(), QStringLiteral("4"));
    EXPECT_EQ(grid->rowAt(0), table.topRow() - 1);
    const int room = grid->viewport()->height() / grid->rowHeight(0);
    EXPECT_EQ(grid->model()->index(grid->rowAt(0), 0).data().toString(), QString::number(EventTable::MaxRows + 4 - room))
        << "the newest row last, as many before it as there is room for";
}

// Under a flood several lines come between two updates of the history line, and at the bound as
// many of the oldest leave: the drop-down follows by appending and dropping, never by rebuilding.
TEST_F(MainWindowTest, HistoryLineFollowsAFloodAppendingAndDroppingItsEntries)
{
    auto window = openWindow();
    window->show();
    Workstation& w = window->workstation();
    auto* combo = window->findChild<QComboBox*>(QStringLiteral("historyLine"));
    int rebuilt = 0;
    QObject::connect(combo->model(), &QAbstractItemModel::modelReset, [&] { ++rebuilt; });
    const auto flood = [&](int lines) {
        for (int line = 0; line < lines; ++line)
            w.log().history().add(QStringLiteral("строка %1").arg(w.log().history().added()));
        loop.advance(journalUpdateMs);
    };
    flood(HistoryLine::MaxEntries - 10);
    const QString kept = combo->itemText(HistoryLine::MaxEntries - 30);
    flood(7);
    EXPECT_EQ(combo->itemText(HistoryLine::MaxEntries - 30), kept) << "the entries shown before stay";
    w.log().history().add(QStringLiteral("не показана"));
    EXPECT_EQ(combo->itemText(HistoryLine::MaxEntries - 30), kept) << "also before the next update";
    flood(6);
    EXPECT_EQ(combo->itemText(HistoryLine::MaxEntries - 34), kept) << "moved up by the four that left";
    EXPECT_EQ(rebuilt, 0);
    const QStringList& list = w.log().history().list();
    ASSERT_EQ(combo->count(), list.size());
    EXPECT_EQ(combo->itemText(0), list.front());
    EXPECT_EQ(combo->itemText(combo->count() - 1), list.back());
    EXPECT_EQ(combo->currentText(), list.back());
    w.log().history().add(QStringLiteral("не показана"));
    Q_EMIT combo->activated(3);
    EXPECT_EQ(w.log().history().text(), combo->itemText(3)) << "the entry chosen, not the one below it";
}

TEST_F(MainWindowTest, APictureChangeRepaintsTheRowOfItsNode)
{
    folder.writeText(QStringLiteral("kirvanmonitorp.cnf"),
                     QStringLiteral("A00:ОФИС\r\n\tЗал\r\n\t\tИ01-01 a\r\n\t\tИ01-02 b\r\n"
                                    "A01:СКЛАД\r\n\tЦех\r\n\t\tИ01-01 c\r\n\t\tИ01-02 d\r\n\t\tИ01-03 e\r\n"));
    auto window = openWindow();
    window->show();
    CompositionTree& tree = window->workstation().tree();
    ASSERT_EQ(tree.count(), 9);
    auto* view = window->findChild<QTreeView*>(QStringLiteral("compositionView"));
    ASSERT_NE(view, nullptr);
    std::vector<QModelIndex> changes;
    QObject::connect(view->model(), &QAbstractItemModel::dataChanged,
                     [&changes](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                         EXPECT_EQ(topLeft, bottomRight);
                         changes.push_back(topLeft);
                     });

    loop.advance(viewUpdateMs); // the pictures of the loading are shown
    // Not the first child, under the second system: a wrong row or parent shows at once.
    for (TreeNode* node : {tree.nodeAt(8), tree.nodeAt(5)}) {
        changes.clear();
        tree.setPicture(*node, stateicon::fire);
        loop.advance(viewUpdateMs);
        ASSERT_EQ(changes.size(), 1);
        const QModelIndex changed = changes.front();
        const QModelIndex shown = view->indexAt(view->visualRect(changed).center());
        EXPECT_EQ(shown.data().toString(), node->text()) << "the repainted row shows the node";
        EXPECT_EQ(qvariant_cast<QIcon>(shown.data(Qt::DecorationRole)).cacheKey(), stateIcon(stateicon::fire).cacheKey());
    }
}

TEST_F(MainWindowTest, StatusFieldBlinksTheAlarmUntilSoundOff)
{
    writeStoreComplex();
    auto window = openWindow();
    const auto* edit = window->findChild<QLineEdit*>(QStringLiteral("statusWord"));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), QStringLiteral(" НОРМА"));
    AlarmState& alarms = window->workstation().alarms();
    alarms.raiseFireAlarm();
    EXPECT_EQ(edit->palette().color(QPalette::Base), QColor(255, 0, 0));
    loop.advance(500);
    EXPECT_EQ(edit->text(), QString());
    loop.advance(500);
    EXPECT_EQ(edit->text(), QStringLiteral(" ПОЖАР"));
    loop.advance(500);
    ASSERT_TRUE(window->actions().silenceComplex->isEnabled());
    window->actions().silenceComplex->trigger();
    EXPECT_EQ(edit->text(), QStringLiteral(" ПОЖАР")) << "steady after sound off";
    EXPECT_FALSE(alarms.blinking());
    ASSERT_TRUE(window->actions().resetAlarm->isEnabled());
    window->actions().resetAlarm->trigger();
    EXPECT_EQ(edit->text(), QStringLiteral(" НОРМА"));
    EXPECT_EQ(edit->palette().color(QPalette::Base), QColor(0, 128, 0));
}

// An operator who ends the program while an alarm still sounds is asked first; the kiosk unit
// does not bring back a program that ended of its own will. A silenced alarm asks nothing.
TEST_F(MainWindowTest, ExitDuringAnAlarmThatStillSoundsAsksFirst)
{
    auto window = openWindow();
    window->show();
    window->workstation().alarms().raiseFireAlarm();
    dialogs.answers = {Dialogs::Answer::No};
    window->actions().exit->trigger();
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.shown.back().caption, QStringLiteral("ВНИМАНИЕ"));
    EXPECT_TRUE(window->isVisible()) << "the operator said no";
    const std::size_t asked = dialogs.shown.size();
    window->actions().silenceComplex->trigger();
    window->actions().exit->trigger();
    EXPECT_EQ(dialogs.shown.size(), asked);
    EXPECT_FALSE(window->isVisible());
}

// A committed row of the table with the given status word.
void commitRow(EventTable& table, const QString& status, int offset = 1)
{
    table.writeCell(0, QString::number(table.journalRow()));
    table.writeCell(1, status);
    table.writeCell(4, QStringLiteral("28.12.2000"));
    table.writeCell(5, QStringLiteral("20:58:58"));
    table.commitJournalRow(offset);
}

TEST_F(MainWindowTest, RowsTakeTheColourOfTheirAlarm)
{
    auto window = openWindow();
    const struct {
        const char16_t* status;
        QColor background;
    } cases[] = {{u"ПОЖАР", QColor(255, 0, 0)},
                 {u"ОТКАЗ", QColor(255, 255, 0)},
                 {u"ТЕХНОЛОГ", QColor(166, 202, 240)},
                 {u"ТЕХНОЛОГИЯ", QColor(166, 202, 240)}};
    EventTable& table = window->workstation().table();
    const auto* grid = window->findChild<QTableView*>(QStringLiteral("eventGrid"));
    for (const auto& c : cases) {
        commitRow(table, QString::fromUtf16(c.status));
        for (int column = 0; column < EventTable::ColumnCount; ++column)
            EXPECT_EQ(grid->model()->index(table.journalRow() - 2, column).data(Qt::BackgroundRole).value<QColor>(),
                      c.background);
    }
    EXPECT_FALSE(grid->model()->index(table.journalRow() - 1, 1).data(Qt::BackgroundRole).isValid()) << "empty row";
}

TEST_F(MainWindowTest, NarrowColumnsWidenToTheirContentAndNothingWraps)
{
    auto window = openWindow();
    window->show();
    EventTable& table = window->workstation().table();
    commitRow(table, QStringLiteral("ТЕХНОЛОГИЯ"));
    const auto* grid = window->findChild<QTableView*>(QStringLiteral("eventGrid"));
    EXPECT_FALSE(grid->wordWrap());
    for (const int column : {0, 1, 4, 5})
        EXPECT_GE(grid->columnWidth(column), static_cast<const QAbstractItemView*>(grid)->sizeHintForColumn(column))
            << "column " << column;
}

TEST_F(MainWindowTest, NewestFireStaysInViewInBothLayoutsOnTheSmallestWindow)
{
    // A large desktop font leaves the smallest window room for fewer rows than the layouts keep
    // in view.
    const QFont desktopFont = QApplication::font();
    QFont large = desktopFont;
    large.setPixelSize(22);
    QApplication::setFont(large);
    struct RestoreFont {
        QFont font;
        ~RestoreFont() { QApplication::setFont(font); }
    } restore{desktopFont};
    auto window = openWindow();
    window->show();
    window->resize(window->minimumSize());
    EventTable& table = window->workstation().table();
    const auto* grid = window->findChild<QTableView*>(QStringLiteral("eventGrid"));
    for (const bool expanded : {true, false, true}) {
        expanded ? table.scrollUp() : table.scrollDown();
        showJournal();
        for (int i = 0; i < 30; ++i)
            commitRow(table, QStringLiteral("ПОЖАР"), 0);
        showJournal();
        const QRect newest = grid->visualRect(grid->model()->index(table.journalRow() - 2, 0));
        EXPECT_TRUE(grid->viewport()->rect().contains(newest)) << (expanded ? "expanded" : "collapsed");
    }
}

TEST_F(MainWindowTest, AlarmRowRaisesTheWindowButLeavesTheKeyboardInADialog)
{
    auto window = openWindow();
    window->show();
    QDialog dialog(window.get());
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    dialog.activateWindow();
    QCoreApplication::processEvents();
    if (QApplication::activeWindow() != &dialog)
        GTEST_SKIP() << "this platform does not activate windows";
    window->restoreMainWindow();
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), &dialog);
    dialog.close();
    // A window that only shows something (the help window is a dialog without a question) is
    // put behind.
    QDialog help;
    help.show();
    help.activateWindow();
    QCoreApplication::processEvents();
    window->restoreMainWindow();
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), &help) << "in a flood the window comes forward a few times a second";
    loop.advance(viewUpdateMs);
    QCoreApplication::processEvents();
    EXPECT_EQ(QApplication::activeWindow(), window.get());
    help.close();
    window->showMinimized();
    QCoreApplication::processEvents();
    window->restoreMainWindow();
    loop.advance(viewUpdateMs);
    QCoreApplication::processEvents();
    EXPECT_FALSE(window->isMinimized());
    EXPECT_EQ(QApplication::activeWindow(), window.get());
}

// The journal viewer is a program of its own, asked to show itself at every Ctrl+F3 (it comes
// forward when it runs); one that cannot be started is told.
TEST_F(MainWindowTest, JournalViewerIsAProgramOfItsOwn)
{
    auto window = openWindow();
    window->actions().viewJournal->trigger();
    window->actions().viewJournal->trigger();
    EXPECT_EQ(journalViewer.shown, 2);
    EXPECT_EQ(dialogs.notices, 0u);
    journalViewer.starts = false;
    window->actions().viewJournal->trigger();
    EXPECT_EQ(dialogs.notices, 1u);
}

// The operator's keys work wherever the keyboard is in the main window, also on the toolbar's
// "Отключить звук" button, which silences the whole complex, and in the module prompt. The
// keys go through the window system's shortcut handling as a key press does.
TEST_F(MainWindowTest, OperatorKeysWorkFromEveryPlaceOfTheMainWindow)
{
    writeStoreComplex(QStringLiteral("[МОДУЛЬ УПРАВЛЕНИЯ 1]\nСИСТЕМА=A01:СКЛАД\nЗОНА=Цех 1\nСЦЕНАРИЙ=5\n"
                                     "РЕЖИМ=РУЧНОЙ\n"));
    auto window = openWindow();
    window->show();
    window->activateWindow();
    QCoreApplication::processEvents();
    if (QApplication::activeWindow() != window.get())
        GTEST_SKIP() << "this platform does not activate windows";
    // Nothing selected: the commands run and do nothing that waits.
    window->workstation().tree().select(nullptr);
    const MainActions& a = window->actions();
    const std::vector<std::pair<QKeyCombination, QAction*>> keys = {{Qt::Key_F5, a.controlCheck},
                                                                    {Qt::Key_F6, a.silenceSystem},
                                                                    {Qt::Key_F7, a.resetAlarm},
                                                                    {Qt::CTRL | Qt::Key_Insert, a.switchDetectorOn},
                                                                    {Qt::CTRL | Qt::Key_Delete, a.switchDetectorOff}};
    std::vector<QWidget*> places = {window->findChild<QWidget*>(QStringLiteral("compositionView")),
                                    window->findChild<QWidget*>(QStringLiteral("eventGrid")),
                                    window->findChild<QWidget*>(QStringLiteral("historyLine")),
                                    window->findChild<QWidget*>(QStringLiteral("planView"))};
    for (QToolButton* button : window->findChild<QWidget*>(QStringLiteral("toolbarStrip"))->findChildren<QToolButton*>())
        places.push_back(button);
    for (QWidget* place : places) {
        ASSERT_NE(place, nullptr);
        place->setFocus();
        QCoreApplication::processEvents();
        for (const auto& [key, action] : keys) {
            QSignalSpy triggered(action, &QAction::triggered);
            QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
            EXPECT_EQ(triggered.size(), 1)
                << place->objectName().toStdString() << ' ' << QKeySequence(key).toString().toStdString() << " on "
                << place->metaObject()->className();
        }
    }
    receiveFire(window->workstation());
    QWidget* prompt = window->findChild<QWidget*>(QStringLiteral("modulePrompt"));
    ASSERT_NE(prompt, nullptr);
    prompt->activateWindow();
    prompt->findChild<QPushButton*>(QStringLiteral("skipButton"))->setFocus();
    QCoreApplication::processEvents();
    for (const auto& [key, action] : keys) {
        QSignalSpy triggered(action, &QAction::triggered);
        QTest::keyClick(QApplication::focusWidget(), key.key(), key.keyboardModifiers());
        EXPECT_EQ(triggered.size(), 1) << "prompt " << QKeySequence(key).toString().toStdString();
    }
}

TEST_F(MainWindowTest, ModulePromptStaysOnTopAndHandsTheAnswerOn)
{
    writeStoreComplex(QStringLiteral("[МОДУЛЬ УПРАВЛЕНИЯ 1]\nСИСТЕМА=A01:СКЛАД\nЗОНА=Цех 1\nСЦЕНАРИЙ=5\n"
                                     "РЕЖИМ=РУЧНОЙ\nКОМЕНТАРИЙ=Вентиляция цеха\n"));
    auto window = openWindow();
    const auto prompt = [&] { return window->findChild<QWidget*>(QStringLiteral("modulePrompt")); };
    const auto scenarios = [&] {
        int count = 0;
        for (int slot = 0; slot < CommandQueue::Capacity; ++slot)
            count += window->workstation().link().queue().slot(slot).code == 152;
        return count;
    };
    const std::map<QString, QString> journaled = {{u"yesButton"_s, u"ДА"_s},
                                                  {u"skipButton"_s, u"ПРОПУСТИТЬ"_s},
                                                  {u"close"_s, u"закрыт"_s}};
    for (const char* answer : {"yesButton", "skipButton", "close"}) {
        receiveFire(window->workstation());
        receiveFire(window->workstation());
        ASSERT_NE(prompt(), nullptr) << answer;
        EXPECT_EQ(window->findChildren<QWidget*>(QStringLiteral("modulePrompt")).size(), 1) << "one prompt at a time";
        EXPECT_TRUE(prompt()->isVisible());
        EXPECT_TRUE(prompt()->isWindow());
        EXPECT_TRUE(prompt()->windowFlags().testFlags(Qt::Tool | Qt::WindowStaysOnTopHint));
        EXPECT_FALSE(prompt()->isModal());
        EXPECT_EQ(prompt()->windowTitle(), QStringLiteral("Модуль управления"));
        EXPECT_EQ(prompt()->findChild<QLabel*>(QStringLiteral("placeLabel"))->text(), QStringLiteral("СКЛАД Цех 1"));
        EXPECT_EQ(prompt()->findChild<QLabel*>(QStringLiteral("questionLabel"))->text(),
                  QStringLiteral("Запустить сценарий 5 «Вентиляция цеха»?"));
        const int before = scenarios();
        if (QString::fromLatin1(answer) == u"close")
            prompt()->close();
        else
            prompt()->findChild<QPushButton*>(QString::fromLatin1(answer))->click();
        EXPECT_EQ(scenarios() - before, QString::fromLatin1(answer) == u"yesButton" ? 1 : 0) << answer;
        EXPECT_EQ(logLines().last(),
                  u"08.12.2023 9:15:02  ДЕЙСТВИЕ ОПЕРАТОРА: Модуль управления: %1 (СКЛАД Цех 1, сценарий 5)"_s.arg(
                      journaled.at(QString::fromLatin1(answer))));
        EXPECT_FALSE(window->workstation().controlModules().prompt());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(prompt(), nullptr) << answer;
    }
}

TEST_F(MainWindowTest, ModuleEditorOffersItsButtonsOnlyWithAScenario)
{
    writeStoreComplex();
    auto window = openWindow();
    EXPECT_TRUE(window->actions().editControlModule->isEnabled());
    Workstation& w = window->workstation();
    ControlModuleEditor editor(w.controlModules(), w.tree().nodeAt(1));
    ModuleEditorDialog form(editor, w.access(), loop, window.get());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Редактирование модуля управления"));
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("systemLabel"))->text(), QStringLiteral("A01:СКЛАД"));
    EXPECT_EQ(form.findChild<QLabel*>(QStringLiteral("zoneLabel"))->text(), QStringLiteral("Цех 1"));
    auto* scenario = form.findChild<QComboBox*>(QStringLiteral("scenarioBox"));
    ASSERT_EQ(scenario->count(), 97);
    EXPECT_EQ(scenario->itemText(96), QStringLiteral("96"));
    auto* save = form.findChild<QPushButton*>(QStringLiteral("saveButton"));
    EXPECT_FALSE(save->isEnabled());
    scenario->setCurrentIndex(7);
    form.findChild<QComboBox*>(QStringLiteral("modeBox"))->setCurrentIndex(2);
    ASSERT_TRUE(save->isEnabled());
    save->click();
    EXPECT_EQ(w.settings().ini().readString(u"МОДУЛЬ УПРАВЛЕНИЯ 1", u"РЕЖИМ", {}), QStringLiteral("АВТОМАТ"));
    EXPECT_EQ(w.settings().ini().readInteger(u"МОДУЛЬ УПРАВЛЕНИЯ 1", u"СЦЕНАРИЙ", 0), 7);
    EXPECT_EQ(logLines().last(),
              u"08.12.2023 9:15:02  ДЕЙСТВИЕ ОПЕРАТОРА: Модуль управления: Сохранить (A01:СКЛАД Цех 1)"_s);
    form.findChild<QPushButton*>(QStringLiteral("deleteButton"))->click();
    EXPECT_EQ(logLines().last(),
              u"08.12.2023 9:15:02  ДЕЙСТВИЕ ОПЕРАТОРА: Модуль управления: Удалить (A01:СКЛАД Цех 1)"_s);
}

} // namespace
} // namespace kirvan::testing
