#include "console/MainActions.h"

#include "console/StateIcons.h"
#include "link/PortSelection.h"

#include <QAction>
#include <QActionGroup>
#include <QMainWindow>
#include <QMenuBar>

namespace kirvan {

namespace {

QAction* command(QWidget& owner, const QString& caption, int picture = -1, const QKeySequence& shortcut = {})
{
    auto* action = new QAction(caption, &owner);
    if (picture >= 0)
        action->setIcon(stateIcon(picture));
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        // Shortcuts work whether or not a menu shows the command.
        action->setShortcutContext(Qt::WindowShortcut);
        owner.addAction(action);
    }
    return action;
}

} // namespace

MainActions::MainActions(QMainWindow& window)
{
    QWidget& w = window;
    AlarmOff = command(w, QStringLiteral("Сброс тревоги"), 4, Qt::Key_F7);
    // The menu shows F6 here, but F6 silences the selected system (SoundSys). One key, one
    // owner: a second action on F6 would make the key ambiguous, and do nothing, wherever both
    // are reachable (the toolbar's button carries this action), so the key is only shown.
    AllSoundOff = command(w, QStringLiteral("Отключить звук\tF6"), 7);
    TotalControl = command(w, QStringLiteral("Общий контроль"), 6);
    ReadArhiv = command(w, QStringLiteral("Просмотр архива"), 3, Qt::Key_F3);
    signIn = command(w, QStringLiteral("Вход оператора…"), -1, QKeySequence(Qt::CTRL | Qt::Key_L));
    signOut = command(w, QStringLiteral("Выход оператора"));
    exit = command(w, QStringLiteral("Выход"), 2);
    NewConfig = command(w, QStringLiteral("Ввести в состав"), 9);
    DelConfig = command(w, QStringLiteral("Вывести из состава"), 21);
    ImageEdit = command(w, QStringLiteral("Редактор планов"), 10);
    ImageEdit->setCheckable(true);
    JournalView = command(w, QStringLiteral("Просмотр журнала"), 3, QKeySequence(Qt::CTRL | Qt::Key_F3));
    HelpMonitor = command(w, QStringLiteral("Помощь"), 8, Qt::Key_F1);
    About = command(w, QStringLiteral("О программе"), 0);

    ImageLoad = command(w, QStringLiteral("Загрузить план"));
    ImageDesign = command(w, QStringLiteral("Создать план"));
    SetDat = command(w, QStringLiteral("Установить извещатель"));
    DelDat = command(w, QStringLiteral("Удалить извещатель"));
    ControlSys = command(w, QStringLiteral("Контроль"), -1, Qt::Key_F5);
    SoundSys = command(w, QStringLiteral("Звук откл."), -1, Qt::Key_F6);
    AddModulControl = command(w, QStringLiteral("Модуль управления"));
    DatOn = command(w, QStringLiteral("Включить извещатель"), -1, QKeySequence(Qt::CTRL | Qt::Key_Insert));
    DatOff = command(w, QStringLiteral("Выключить извещатель"), -1, QKeySequence(Qt::CTRL | Qt::Key_Delete));
    arm = command(w, QStringLiteral("Поставить на охрану"));
    disarm = command(w, QStringLiteral("Снять с охраны"));
    showMarkers = command(w, QStringLiteral("Показать извещатели на плане"));
    hideMarkers = command(w, QStringLiteral("Скрыть извещатели на плане"));
    simulateFault = command(w, QStringLiteral("Имитировать отказ"));
    simulateFire = command(w, QStringLiteral("Имитировать пожар/тревогу"));
    markerDatOn = command(w, QStringLiteral("Включить извещатель"));
    markerDatOff = command(w, QStringLiteral("Выключить извещатель"));
    markerArm = command(w, QStringLiteral("Поставить на охрану"));
    markerDisarm = command(w, QStringLiteral("Снять с охраны"));

    QMenuBar* bar = window.menuBar();
    QMenu* mode = bar->addMenu(QStringLiteral("Режим"));
    mode->addActions({AlarmOff, AllSoundOff, TotalControl, ReadArhiv});
    mode->addSeparator();
    mode->addActions({signIn, signOut});
    mode->addSeparator();
    mode->addAction(exit);
    QMenu* service = bar->addMenu(QStringLiteral("Сервис"));
    service->addActions({NewConfig, DelConfig, ImageEdit});
    service->addSeparator();
    service->addAction(JournalView);
    // The menu's caption is the port search command's caption; the letters "СОМ" of the
    // sub-menu are Cyrillic.
    settingsMenu = bar->addMenu(QStringLiteral("Настройки"));
    QMenu* ports = settingsMenu->addMenu(stateIcon(1), QStringLiteral("СОМ-порты"));
    comPorts = new QActionGroup(&window);
    comPorts->setExclusive(true);
    for (int n = 1; n <= PortSelection::PortCount; ++n) {
        QAction* port = ports->addAction(PortSelection::menuText(n));
        port->setCheckable(true);
        comPorts->addAction(port);
        IniCOM[static_cast<std::size_t>(n - 1)] = port;
    }
    QMenu* help = bar->addMenu(QStringLiteral("Справка"));
    help->addActions({HelpMonitor, About});

    PopupMenu1 = new QMenu(&window);
    PopupMenu1->addActions({ImageLoad, ImageDesign});
    PopupMenu2 = new QMenu(&window);
    PopupMenu2->addActions({SetDat, DelDat});
    PopupMenu3 = new QMenu(&window);
    PopupMenu3->addActions({ControlSys, SoundSys, AddModulControl, DatOn, DatOff, arm, disarm});
    PopupMenu3->addSeparator();
    PopupMenu3->addActions({showMarkers, hideMarkers});
    PopupMenu3->addSeparator();
    PopupMenu3->addActions({simulateFault, simulateFire});
    PopupMenu4 = new QMenu(&window);
    PopupMenu4->addActions({markerDatOn, markerDatOff, markerArm, markerDisarm});
}

} // namespace kirvan
