#include "window/MainActions.h"

#include "icons/StateIcons.h"
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
    resetAlarm = command(w, QStringLiteral("Сброс тревоги"), 4, Qt::Key_F7);
    // No key: F6 silences the selected system only (silenceSystem), and a caption showing F6 here
    // would promise the whole complex.
    silenceComplex = command(w, QStringLiteral("Отключить звук"), 7);
    controlAll = command(w, QStringLiteral("Общий контроль"), 6);
    openJournal = command(w, QStringLiteral("Просмотр журнала"), 3, Qt::Key_F3);
    signIn = command(w, QStringLiteral("Вход оператора…"), -1, QKeySequence(Qt::CTRL | Qt::Key_L));
    signOut = command(w, QStringLiteral("Выход оператора"));
    exit = command(w, QStringLiteral("Выход"), 2);
    addSystem = command(w, QStringLiteral("Ввести в состав"), 9);
    removeSystem = command(w, QStringLiteral("Вывести из состава"), 21);
    togglePlanEditMode = command(w, QStringLiteral("Редактор планов"), 10);
    togglePlanEditMode->setCheckable(true);
    // The same viewer as F3 under the same name; this key never hands the log to a program of the
    // desktop.
    viewJournal = command(w, QStringLiteral("Просмотр журнала"), 3, QKeySequence(Qt::CTRL | Qt::Key_F3));
    showHelp = command(w, QStringLiteral("Помощь"), 8, Qt::Key_F1);
    showAbout = command(w, QStringLiteral("О программе"), 0);

    assignPlan = command(w, QStringLiteral("Загрузить план"));
    startPictureEditor = command(w, QStringLiteral("Создать план"));
    placeMarker = command(w, QStringLiteral("Установить извещатель"));
    removeMarker = command(w, QStringLiteral("Удалить извещатель"));
    controlCheck = command(w, QStringLiteral("Контроль"), -1, Qt::Key_F5);
    silenceSystem = command(w, QStringLiteral("Отключить звук системы"), -1, Qt::Key_F6);
    editControlModule = command(w, QStringLiteral("Модуль управления"));
    switchDetectorOn = command(w, QStringLiteral("Включить извещатель"), -1, QKeySequence(Qt::CTRL | Qt::Key_Insert));
    switchDetectorOff = command(w, QStringLiteral("Выключить извещатель"), -1, QKeySequence(Qt::CTRL | Qt::Key_Delete));
    arm = command(w, QStringLiteral("Поставить на охрану"));
    disarm = command(w, QStringLiteral("Снять с охраны"));
    showMarkers = command(w, QStringLiteral("Показать извещатели на плане"));
    hideMarkers = command(w, QStringLiteral("Скрыть извещатели на плане"));
    simulateFault = command(w, QStringLiteral("Имитировать отказ"));
    simulateFire = command(w, QStringLiteral("Имитировать пожар/тревогу"));
    markerSwitchOn = command(w, QStringLiteral("Включить извещатель"));
    markerSwitchOff = command(w, QStringLiteral("Выключить извещатель"));
    markerArm = command(w, QStringLiteral("Поставить на охрану"));
    markerDisarm = command(w, QStringLiteral("Снять с охраны"));

    QMenuBar* bar = window.menuBar();
    QMenu* mode = bar->addMenu(QStringLiteral("Режим"));
    mode->addActions({resetAlarm, silenceComplex, controlAll, openJournal});
    mode->addSeparator();
    mode->addActions({signIn, signOut});
    mode->addSeparator();
    mode->addAction(exit);
    QMenu* service = bar->addMenu(QStringLiteral("Сервис"));
    service->addActions({addSystem, removeSystem, togglePlanEditMode});
    service->addSeparator();
    service->addAction(viewJournal);
    settingsMenu = bar->addMenu(QStringLiteral("Настройки"));
    QMenu* ports = settingsMenu->addMenu(stateIcon(1), QStringLiteral("COM-порты"));
    comPorts = new QActionGroup(&window);
    comPorts->setExclusive(true);
    for (int n = 1; n <= PortSelection::PortCount; ++n) {
        QAction* port = ports->addAction(PortSelection::menuText(n));
        port->setCheckable(true);
        comPorts->addAction(port);
        choosePort[static_cast<std::size_t>(n - 1)] = port;
    }
    editSettings = settingsMenu->addAction(QStringLiteral("Параметры…"));
    QMenu* help = bar->addMenu(QStringLiteral("Справка"));
    help->addActions({showHelp, showAbout});

    planMenu = new QMenu(&window);
    planMenu->addActions({assignPlan, startPictureEditor});
    markerMenu = new QMenu(&window);
    markerMenu->addActions({placeMarker, removeMarker});
    treeMenu = new QMenu(&window);
    treeMenu->addActions(
        {controlCheck, silenceSystem, editControlModule, switchDetectorOn, switchDetectorOff, arm, disarm});
    treeMenu->addSeparator();
    treeMenu->addActions({showMarkers, hideMarkers});
    treeMenu->addSeparator();
    treeMenu->addActions({simulateFault, simulateFire});
    detectorMenu = new QMenu(&window);
    detectorMenu->addActions({markerSwitchOn, markerSwitchOff, markerArm, markerDisarm});
}

} // namespace kirvan
