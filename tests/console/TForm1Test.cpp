#include "console/TForm1.h"

#include "tests/console/WorkstationFixture.h"

#include <QAction>
#include <QActionGroup>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>

namespace kirvan::testing {
namespace {

class TForm1Test : public WorkstationFixture {
protected:
    std::unique_ptr<TForm1> openWindow()
    {
        return std::make_unique<TForm1>(platform(),
                                        WorkstationFolder(folder.path()));
    }

    // "caption|shortcut" of every entry of a menu, separators as "-".
    static QStringList entries(const QMenu* menu)
    {
        QStringList list;
        for (const QAction* action : menu->actions())
            list << (action->isSeparator() ? QStringLiteral("-")
                                           : action->text() + u'|' + action->shortcut().toString());
        return list;
    }
};

TEST_F(TForm1Test, MainMenuHoldsTheCommandsInOrderWithTheirShortcuts)
{
    auto window = openWindow();
    const QList<QAction*> menus = window->menuBar()->actions();
    ASSERT_EQ(menus.size(), 4);
    EXPECT_EQ(menus[0]->text(), QStringLiteral("Режим"));
    EXPECT_EQ(entries(menus[0]->menu()),
              (QStringList{QStringLiteral("Сброс тревоги|F7"), QStringLiteral("Отключить звук|F6"),
                           QStringLiteral("Общий контроль|"), QStringLiteral("Просмотр архива|F3"),
                           QStringLiteral("-"), QStringLiteral("Выход|")}));
    EXPECT_EQ(menus[1]->text(), QStringLiteral("Сервис"));
    EXPECT_EQ(entries(menus[1]->menu()),
              (QStringList{QStringLiteral("Ввести в состав|"), QStringLiteral("Вывести из состава|"),
                           QStringLiteral("Редактор планов|")}));
    EXPECT_TRUE(window->actions().ImageEdit->isCheckable());
    EXPECT_EQ(menus[2]->text(), QStringLiteral("Настройки"));
    const QMenu* ports = menus[2]->menu()->actions().front()->menu();
    ASSERT_NE(ports, nullptr);
    EXPECT_EQ(menus[2]->menu()->actions().front()->text(), QStringLiteral("СОМ-порты"));
    EXPECT_EQ(ports->actions().size(), 10);
    EXPECT_EQ(ports->actions()[1]->text(), QStringLiteral("C&OM2"));
    EXPECT_TRUE(window->actions().comPorts->isExclusive());
    EXPECT_EQ(menus[3]->text(), QStringLiteral("Справка"));
    EXPECT_EQ(entries(menus[3]->menu()), (QStringList{QStringLiteral("Помощь|F1"), QStringLiteral("О программе|")}));
}

TEST_F(TForm1Test, PopUpMenusHoldTheirItemsInOrder)
{
    auto window = openWindow();
    const MainActions& a = window->actions();
    EXPECT_EQ(entries(a.PopupMenu1), (QStringList{QStringLiteral("Загрузить план|"), QStringLiteral("Создать план|")}));
    EXPECT_EQ(entries(a.PopupMenu2),
              (QStringList{QStringLiteral("Установить извещатель|"), QStringLiteral("Удалить извещатель|")}));
    EXPECT_EQ(entries(a.PopupMenu3),
              (QStringList{QStringLiteral("Контроль|F5"), QStringLiteral("Звук откл.|F6"),
                           QStringLiteral("Модуль управления|"), QStringLiteral("Включить извещатель|Ctrl+Ins"),
                           QStringLiteral("Выключить извещатель|Ctrl+Del"), QStringLiteral("Поставить на охрану|"),
                           QStringLiteral("Снять с охраны|"), QStringLiteral("-"),
                           QStringLiteral("Показать извещатели на плане|"),
                           QStringLiteral("Скрыть извещатели на плане|"), QStringLiteral("-"),
                           QStringLiteral("Имитировать отказ|"), QStringLiteral("Имитировать пожар/тревогу|")}));
    EXPECT_EQ(entries(a.PopupMenu4),
              (QStringList{QStringLiteral("Включить извещатель|"), QStringLiteral("Выключить извещатель|"),
                           QStringLiteral("Поставить на охрану|"), QStringLiteral("Снять с охраны|")}));
}

TEST_F(TForm1Test, WindowHasItsCaptionAndMinimumSize)
{
    auto window = openWindow();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("КирванМонитор"));
    EXPECT_EQ(window->minimumSize(), QSize(960, 670));
    EXPECT_GE(window->width(), 960);
    EXPECT_GE(window->height(), 670);
}

TEST_F(TForm1Test, TableViewFollowsTheLayoutAndScrollsToTheNewestRows)
{
    auto window = openWindow();
    window->show();
    EventTable& table = window->workstation().table();
    for (int row = 1; row < 25; ++row) {
        table.writeCell(0, QString::number(row));
        table.CommitJournalRow(1);
    }
    ASSERT_EQ(table.JournalRow(), 25);
    table.SpinButton1UpClick();
    EXPECT_EQ(table.topRow(), 5);
    const auto* grid = window->findChild<QTableView*>(QStringLiteral("StringGrid1"));
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->rowAt(0), 4) << "the grid shows the model's top row";
    EXPECT_FALSE(window->findChild<QWidget*>(QStringLiteral("Panel8"))->isVisible());
    table.SpinButton1DownClick();
    EXPECT_EQ(table.topRow(), 22);
    EXPECT_EQ(grid->rowAt(0), 21);
    EXPECT_TRUE(window->findChild<QWidget*>(QStringLiteral("Panel8"))->isVisible());
}

TEST_F(TForm1Test, StatusFieldShowsTheAlarm)
{
    auto window = openWindow();
    const auto* edit = window->findChild<QLineEdit*>(QStringLiteral("Edit1"));
    EXPECT_EQ(edit->text(), QStringLiteral(" НОРМА"));
    window->workstation().alarms().RaiseFireAlarm();
    EXPECT_EQ(edit->text(), QStringLiteral(" ПОЖАР"));
    EXPECT_EQ(edit->palette().color(QPalette::Base), QColor(255, 0, 0));
}

} // namespace
} // namespace kirvan::testing
