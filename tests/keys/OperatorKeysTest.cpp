#include "window/MainWindow.h"
#include "access/PasswordHash.h"

#include "tests/app/WorkstationFixture.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace kirvan::testing {
namespace {

// Counts the releases of one key anywhere in the program: the last event of a key press, so a
// press has been handled, shortcut or not, once its release arrived.
class KeyReleases final : public QObject {
public:
    explicit KeyReleases(Qt::Key key) : key_(key) { QApplication::instance()->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::KeyRelease && watched->isWidgetType()) {
            const auto* release = static_cast<QKeyEvent*>(event);
            count += release->key() == key_ && !release->isAutoRepeat();
        }
        return false;
    }

private:
    Qt::Key key_;
};

struct OperatorKey {
    const char* xdotoolName;
    Qt::Key key;
    QAction* MainActions::*action;
};

const OperatorKey operatorKeys[] = {{"F5", Qt::Key_F5, &MainActions::controlCheck},
                                    {"F6", Qt::Key_F6, &MainActions::silenceSystem},
                                    {"F7", Qt::Key_F7, &MainActions::resetAlarm},
                                    {"ctrl+Insert", Qt::Key_Insert, &MainActions::switchDetectorOn},
                                    {"ctrl+Delete", Qt::Key_Delete, &MainActions::switchDetectorOff}};

// Real key presses: xdotool sends them through the X server's test extension to the window
// with the X input focus, as a keyboard does.
class OperatorKeysTest : public WorkstationFixture {
protected:
    // The keyboard at a place of a window, the window with the X input focus.
    static bool giveFocus(QWidget& place)
    {
        QWidget* window = place.window();
        window->activateWindow();
        place.setFocus();
        return QTest::qWaitFor(
            [&] { return QApplication::activeWindow() == window && QApplication::focusWidget() == &place; });
    }
    // Presses the key and lets the program handle it; counts what the key triggered.
    static int press(const OperatorKey& key, const MainActions& actions)
    {
        QSignalSpy triggered(actions.*key.action, &QAction::triggered);
        KeyReleases releases(key.key);
        if (QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), QString::fromLatin1(key.xdotoolName)})
            != 0)
            return -1;
        if (!QTest::qWaitFor([&] { return releases.count > 0; }))
            return -2;
        return int(triggered.size());
    }
    void pressEveryKeyAt(QWidget& place, const MainActions& actions, const QString& where)
    {
        ASSERT_TRUE(giveFocus(place)) << where.toStdString();
        for (const OperatorKey& key : operatorKeys)
            EXPECT_EQ(press(key, actions), 1)
                << key.xdotoolName << " at " << where.toStdString() << " (" << place.metaObject()->className() << ')';
    }
};

TEST_F(OperatorKeysTest, OperatorKeysWorkFromEveryPlaceOfTheMainWindow)
{
    writeStoreComplex(QStringLiteral("[МОДУЛЬ УПРАВЛЕНИЯ 1]\nСИСТЕМА=A01:СКЛАД\nЗОНА=Цех 1\nСЦЕНАРИЙ=5\n"
                                     "РЕЖИМ=РУЧНОЙ\n"));
    MainWindow window(platform(), WorkstationFolder(folder.path()));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    // Nothing selected: the commands run and do nothing that waits.
    window.workstation().tree().select(nullptr);
    const MainActions& actions = window.actions();
    QList<QWidget*> places;
    for (const char* name : {"compositionView", "eventGrid", "historyLine", "planView"})
        places << window.findChild<QWidget*>(QString::fromLatin1(name));
    for (QWidget* place : places) {
        ASSERT_NE(place, nullptr);
        pressEveryKeyAt(*place, actions, place->objectName());
    }
    for (QToolButton* button : window.findChild<QWidget*>(QStringLiteral("toolbarStrip"))->findChildren<QToolButton*>())
        pressEveryKeyAt(*button, actions, QStringLiteral("toolbar ") + button->text());
    receiveFire(window.workstation());
    QWidget* prompt = window.findChild<QWidget*>(QStringLiteral("modulePrompt"));
    ASSERT_NE(prompt, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(prompt));
    pressEveryKeyAt(*prompt->findChild<QPushButton*>(QStringLiteral("skipButton")), actions,
                    QStringLiteral("module prompt"));
}

// Idle limit a minute, F5 every 20 s for three minutes: every real key counts as input, also
// one the toolkit hands to its command as a shortcut.
TEST_F(OperatorKeysTest, RealKeysKeepTheOperatorSignedIn)
{
    folder.writeText(QStringLiteral("KirvanMonitorP.ini"), QStringLiteral("[Настройки]\nВыход оператора, мин=1\n"));
    UserList users;
    users.put({QStringLiteral("Иванов"), AccessLevel::Operator,
               hashPassword(QStringLiteral("пароль"), HashCost::cheapest())});
    users.save(folder.file(UserList::fileName()));
    MainWindow window(platform(), WorkstationFolder(folder.path()));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    AccessControl& access = window.workstation().access();
    access.signIn(QStringLiteral("Иванов"), QStringLiteral("пароль"), [](const AccessControl::SignInResult&) {});
    ASSERT_FALSE(access.who().isEmpty());
    ASSERT_TRUE(giveFocus(*window.findChild<QWidget*>(QStringLiteral("eventGrid"))));
    for (int n = 0; n < 9; ++n) {
        loop.advance(20'000);
        ASSERT_EQ(press(operatorKeys[0], window.actions()), 1);
    }
    EXPECT_FALSE(access.who().isEmpty()) << "signed out while pressing F5";
    loop.advance(60'000);
    EXPECT_TRUE(access.who().isEmpty());
}

// Without a window manager only the program keeps a question above the main window: the module
// prompt is still on top after the next alarm row raised the main window (2 of 2).
TEST_F(OperatorKeysTest, TheModulePromptStaysOverTheMainWindowAtTheNextAlarmRow)
{
    writeStoreComplex(QStringLiteral("[МОДУЛЬ УПРАВЛЕНИЯ 1]\nСИСТЕМА=A01:СКЛАД\nЗОНА=Цех 1\nСЦЕНАРИЙ=5\n"
                                     "РЕЖИМ=РУЧНОЙ\n"));
    MainWindow window(platform(), WorkstationFolder(folder.path()));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    receiveFire(window.workstation());
    QWidget* prompt = window.findChild<QWidget*>(QStringLiteral("modulePrompt"));
    ASSERT_NE(prompt, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(prompt));
    ASSERT_TRUE(giveFocus(*window.findChild<QWidget*>(QStringLiteral("compositionView"))));
    window.workstation().dispatcher().processEvent(QStringLiteral("01/И12-05/08"));
    QTest::qWait(200);
    // The X window under the pointer at the prompt's centre is the one on top there.
    const QPoint centre = prompt->frameGeometry().center();
    QProcess xdotool;
    xdotool.start(QStringLiteral("xdotool"),
                  {QStringLiteral("mousemove"), QString::number(centre.x()), QString::number(centre.y()),
                   QStringLiteral("getmouselocation"), QStringLiteral("--shell")});
    ASSERT_TRUE(xdotool.waitForFinished());
    const QString location = QString::fromLatin1(xdotool.readAllStandardOutput());
    EXPECT_TRUE(location.contains(QStringLiteral("WINDOW=%1\n").arg(prompt->winId()))) << location.toStdString();
}

} // namespace
} // namespace kirvan::testing
