#include "access/PasswordHash.h"
#include "window/MainWindow.h"

#include "tests/app/WorkstationFixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace kirvan::testing {
namespace {

class AccessWiringTest : public WorkstationFixture {
protected:
    void writeUsers() const
    {
        UserList users;
        users.put({u"Иванов"_s, AccessLevel::Operator, hashPassword(u"пароль"_s, HashCost::cheapest())});
        users.save(folder.file(UserList::fileName()));
    }
    std::unique_ptr<MainWindow> openWindow(bool withUsers)
    {
        if (withUsers)
            writeUsers();
        return std::make_unique<MainWindow>(platform(), WorkstationFolder(folder.path()));
    }
    static QString stamped(const QString& text) { return u"08.12.2023 9:15:02  "_s + text; }
    void expectLast(const QString& text) const
    {
        EXPECT_EQ(logLines().last().toStdString(), stamped(text).toStdString());
    }
    static QString status(MainWindow& window) { return window.findChild<QLabel*>(u"accessStatus"_s)->text(); }
    static void signIn(MainWindow& window)
    {
        window.workstation().access().signIn(u"Иванов"_s, u"пароль"_s, [](const AccessControl::SignInResult& r) {
            ASSERT_EQ(r.outcome, AccessControl::Outcome::SignedIn);
        });
    }
};

TEST_F(AccessWiringTest, WithoutUserFileEverythingRunsAndIsJournaledWithoutName)
{
    writeStoreComplex();
    auto window = openWindow(false);
    EXPECT_EQ(status(*window), u"ДОСТУП НЕ ОГРАНИЧЕН"_s);
    receiveFire(window->workstation());
    window->actions().silenceComplex->trigger();
    expectLast(u"ДЕЙСТВИЕ ОПЕРАТОРА: Отключить звук (тревога: A01:СКЛАД)"_s);
    window->actions().resetAlarm->trigger();
    expectLast(u"ДЕЙСТВИЕ ОПЕРАТОРА: Сброс тревоги"_s);
    EXPECT_EQ(window->workstation().alarms().alarmLevel(), Annunciation::Normal);
    window->actions().togglePlanEditMode->trigger();
    expectLast(u"ДЕЙСТВИЕ ОПЕРАТОРА: Редактор планов: вход"_s);
    window->actions().togglePlanEditMode->trigger();
    expectLast(u"ДЕЙСТВИЕ ОПЕРАТОРА: Редактор планов: выход"_s);
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(logLines().contains(stamped(u"ДЕЙСТВИЕ ОПЕРАТОРА: Выход"_s)));
}

TEST_F(AccessWiringTest, CommandsAboveTheLevelAreRefusedJournaledAndNotHidden)
{
    writeStoreComplex();
    auto window = openWindow(true);
    const MainActions& a = window->actions();
    EXPECT_EQ(status(*window), u"ОПЕРАТОР НЕ ВОШЁЛ, уровень 1"_s);
    receiveFire(window->workstation());
    const std::pair<QAction*, QString> refused[] = {
        {a.resetAlarm, u"Сброс тревоги"_s},
        {a.controlAll, u"Общий контроль"_s},
        {a.switchDetectorOff, u"Выключить извещатель"_s},
        {a.markerArm, u"Поставить на охрану"_s},
        {a.addSystem, u"Ввести в состав"_s},
        {a.togglePlanEditMode, u"Редактор планов"_s},
        {a.choosePort[2], u"COM-порт COM3"_s},
    };
    for (const auto& [action, caption] : refused) {
        EXPECT_TRUE(action->isVisible() || action == a.choosePort[2]);
        action->trigger();
        expectLast(u"ДОСТУП ЗАПРЕЩЕН: "_s + caption);
    }
    EXPECT_EQ(window->workstation().alarms().alarmLevel(), Annunciation::Fire);
    EXPECT_FALSE(a.togglePlanEditMode->isChecked());
    EXPECT_FALSE(a.choosePort[2]->isChecked());
    EXPECT_FALSE(window->close());
    EXPECT_EQ(dialogs.shown.back().caption, u"Доступ запрещён"_s);

    a.silenceSystem->trigger(); // everyone may silence
    expectLast(u"ДЕЙСТВИЕ ОПЕРАТОРА: Отключить звук системы (тревога: A01:СКЛАД)"_s);
    signIn(*window);
    EXPECT_EQ(status(*window), u"ОПЕРАТОР: Иванов, уровень 2"_s);
    a.resetAlarm->trigger();
    EXPECT_EQ(window->workstation().alarms().alarmLevel(), Annunciation::Normal);
    expectLast(u"ДЕЙСТВИЕ ОПЕРАТОРА Иванов: Сброс тревоги"_s);
    a.addSystem->trigger();
    expectLast(u"ДОСТУП ЗАПРЕЩЕН: Ввести в состав"_s);
    a.signOut->trigger();
    expectLast(u"ВЫХОД ОПЕРАТОРА: Иванов"_s);
}

TEST_F(AccessWiringTest, SignInWindowSaysWhyAndClosesOnceSignedIn)
{
    auto window = openWindow(true);
    window->actions().signIn->trigger();
    auto* signIn = window->findChild<QWidget*>(u"SignInWindow"_s);
    ASSERT_TRUE(signIn);
    auto* password = signIn->findChild<QLineEdit*>(u"password"_s);
    password->setText(u"неверно"_s);
    QTest::keyClick(password, Qt::Key_Return);
    EXPECT_EQ(signIn->findChild<QLabel*>(u"message"_s)->text(), u"Неверный пароль. Следующая попытка — через 1 с."_s);
    EXPECT_TRUE(password->text().isEmpty());
    password->setText(u"пароль"_s);
    QTest::keyClick(password, Qt::Key_Return);
    const QLabel* message = signIn->findChild<QLabel*>(u"message"_s);
    EXPECT_TRUE(message->text().endsWith(u"следующая попытка через 1 с."_s));
    EXPECT_GE(message->height(), message->heightForWidth(message->width())) << "the message is cut";
    loop.advance(1000);
    password->setText(u"пароль"_s);
    QTest::keyClick(password, Qt::Key_Return);
    EXPECT_FALSE(signIn->isVisible());
    EXPECT_EQ(status(*window), u"ОПЕРАТОР: Иванов, уровень 2"_s);
}

TEST_F(AccessWiringTest, SignsOutAfterTheMinutesOfTheSettings)
{
    // No complex: no link to lose, so no fault alarm holds the sign-out off.
    folder.writeText(u"KirvanMonitorP.ini"_s, u"[Настройки]\nВыход оператора, мин=2\n"_s);
    auto window = openWindow(true);
    signIn(*window);
    loop.advance(2 * 60'000);
    EXPECT_TRUE(logLines().contains(stamped(u"ВЫХОД ОПЕРАТОРА: Иванов (по времени)"_s)));
    EXPECT_TRUE(window->workstation().access().who().isEmpty());
    // Signed in through the window, which has closed once the password held.
    window->actions().signIn->trigger();
    auto* password = window->findChild<QWidget*>(u"SignInWindow"_s)->findChild<QLineEdit*>(u"password"_s);
    password->setText(u"пароль"_s);
    QTest::keyClick(password, Qt::Key_Return);
    ASSERT_FALSE(window->workstation().access().who().isEmpty());
    loop.advance(2 * 60'000);
    EXPECT_TRUE(window->workstation().access().who().isEmpty()) << "the closed sign-in window held the sign-out off";
}

// "Параметры…" is the engineer's; what it saves is taken at once where it can be.
TEST_F(AccessWiringTest, OnlyTheEngineerOpensTheSettingsAndTheyTakeEffectAtOnce)
{
    UserList users;
    users.put({u"Иванов"_s, AccessLevel::Operator, hashPassword(u"пароль"_s, HashCost::cheapest())});
    users.put({u"Петров"_s, AccessLevel::Engineer, hashPassword(u"инженер1"_s, HashCost::cheapest())});
    users.save(folder.file(UserList::fileName()));
    auto window = openWindow(false);
    AccessControl& access = window->workstation().access();
    const auto dialog = [&] { return window->findChild<QDialog*>(u"settingsDialog"_s); };
    signIn(*window);
    window->actions().editSettings->trigger();
    expectLast(u"ДОСТУП ЗАПРЕЩЕН: Параметры…"_s);
    EXPECT_FALSE(dialog());
    access.signIn(u"Петров"_s, u"инженер1"_s, [](const auto&) {});
    window->actions().editSettings->trigger();
    ASSERT_TRUE(dialog() && dialog()->isVisible());
    auto* minutes = dialog()->findChild<QLineEdit*>(u"Выход оператора, мин"_s);
    QTest::keyClicks(minutes, u"1"_s);
    auto* table = dialog()->findChild<QComboBox*>(u"Таблица"_s);
    table->setCurrentIndex(table->findData(u"1"_s));
    dialog()->findChild<QPushButton*>(u"saveButton"_s)->click();
    expectLast(u"ДЕЙСТВИЕ ОПЕРАТОРА Петров: Параметры: [Настройки] Таблица: было «0», стало «1»"_s);
    EXPECT_TRUE(window->workstation().table().expanded());
    dialog()->findChild<QPushButton*>(u"closeButton"_s)->click();
    loop.advance(60'000);
    EXPECT_TRUE(access.who().isEmpty()) << "the new sign-out time was not taken";
}

// Renamed away by somebody: the workstation still watches, at level 1, and says why.
TEST_F(AccessWiringTest, UserFileGoneAfterAccessWasControlledClosesIt)
{
    writeStoreComplex();
    openWindow(true).reset();
    ASSERT_TRUE(folder.readText(u"KirvanMonitorP.ini"_s).contains(u"Доступ по паролям=1"_s));
    ASSERT_TRUE(QFile::rename(folder.file(UserList::fileName()), folder.file(u"elsewhere"_s)));
    auto window = openWindow(false);
    EXPECT_TRUE(status(*window).startsWith(u"ДОСТУП ЗАКРЫТ, уровень 1: нет файла пользователей"_s));
    receiveFire(window->workstation());
    window->actions().resetAlarm->trigger();
    expectLast(u"ДОСТУП ЗАПРЕЩЕН: Сброс тревоги"_s);
    EXPECT_NE(window->workstation().alarms().alarmLevel(), Annunciation::Normal);
    EXPECT_EQ(logLines().filter(u"ДОСТУП ЗАКРЫТ"_s).size(), 1);
}

// A question outlives the session that asked it: its answer is not taken. Plan edit mode ends
// with the session of the engineer who entered it.
TEST_F(AccessWiringTest, SignOutEndsWhatTheSessionBegan)
{
    folder.writeText(u"KirvanMonitorP.ini"_s, u"[Настройки]\nВыход оператора, мин=1\n"_s);
    UserList users;
    users.put({u"Петров"_s, AccessLevel::Engineer, hashPassword(u"инженер1"_s, HashCost::cheapest())});
    users.save(folder.file(UserList::fileName()));
    auto window = openWindow(false);
    AccessControl& access = window->workstation().access();
    const auto signInEngineer = [&] { access.signIn(u"Петров"_s, u"инженер1"_s, [](const auto&) {}); };
    const PlanEditor& editor = window->workstation().planEditor();
    signInEngineer();
    dialogs.whileShown = [this] { loop.advance(3 * 60'000); };
    window->actions().togglePlanEditMode->trigger();
    dialogs.whileShown = {};
    EXPECT_FALSE(editor.editMode()) << "the answer came after the session";
    EXPECT_EQ(dialogs.shown.back().caption, u"Ответ не принят"_s);
    signInEngineer();
    window->actions().togglePlanEditMode->trigger();
    ASSERT_TRUE(editor.editMode());
    access.signOut();
    EXPECT_FALSE(editor.editMode());
}

// A program of the desktop runs with the workstation's rights: below level 3, and on a kiosk at
// any level, F1 and F3 show the program's own windows instead.
TEST_F(AccessWiringTest, DesktopProgramsOnlyForTheEngineerAndNeverOnAKiosk)
{
    const auto topLevel = [](const QString& name) {
        return std::ranges::count_if(QApplication::topLevelWidgets(),
                                     [&](const QWidget* top) { return top->objectName() == name; });
    };
    auto window = openWindow(true);
    window->actions().showHelp->trigger();
    window->actions().openJournal->trigger();
    EXPECT_TRUE(shell.opened.empty());
    EXPECT_EQ(journalViewer.shown, 1);
    EXPECT_EQ(topLevel(u"HelpWindow"_s), 1);
    window.reset();
    QFile::remove(folder.file(UserList::fileName()));
    folder.writeText(u"KirvanMonitorP.ini"_s, u"[Настройки]\nДоступ по паролям=0\nПрограммы рабочего стола=0\n"_s);
    window = openWindow(false);
    window->actions().showHelp->trigger();
    window->actions().openJournal->trigger();
    EXPECT_TRUE(shell.opened.empty()) << "a kiosk hands nothing to the desktop, also at level 3";
}

TEST_F(AccessWiringTest, StartIsRefusedWhenOthersCanWriteTheUserFile)
{
    writeStoreComplex();
    writeUsers();
    ASSERT_EQ(::chmod(QFile::encodeName(folder.file(UserList::fileName())).constData(), 0664), 0);
    EXPECT_THROW(openWindow(false), UserFileRefused);
    EXPECT_FALSE(logLines().join(u'\n').contains(u"ВКЛЮЧЕН"_s));
}

} // namespace
} // namespace kirvan::testing
