#include "access/PasswordHash.h"
#include "console/TForm1.h"
#include "files/SettingsKeys.h"

#include "tests/console/WorkstationFixture.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
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
    std::unique_ptr<TForm1> openWindow()
    {
        return std::make_unique<TForm1>(platform(), WorkstationFolder(folder.path()));
    }
    std::string lastLine() const { return logLines().last().toStdString(); }
    static QString status(TForm1& window)
    {
        return window.findChild<QLabel*>(u"accessStatus"_s)->text();
    }
    void signIn(TForm1& window)
    {
        window.workstation().access().signIn(u"Иванов"_s, u"пароль"_s, [](const AccessControl::SignInResult& r) {
            ASSERT_EQ(r.outcome, AccessControl::Outcome::SignedIn);
        });
    }
};

TEST_F(AccessWiringTest, WithoutUserFileEverythingRunsAndIsJournaledWithoutName)
{
    writeStoreComplex();
    auto window = openWindow();
    EXPECT_EQ(status(*window), u"ДОСТУП НЕ ОГРАНИЧЕН"_s);
    receiveFire(window->workstation());
    window->actions().AllSoundOff->trigger();
    window->actions().AlarmOff->trigger();
    EXPECT_EQ(window->workstation().alarms().AlarmLevel(), Annunciation::Normal);
    EXPECT_EQ(logLines().mid(logLines().size() - 2),
              (QStringList{u"08.12.2023 9:15:02  ДЕЙСТВИЕ ОПЕРАТОРА: Отключить звук (тревога: A01:СКЛАД)"_s,
                           u"08.12.2023 9:15:02  ДЕЙСТВИЕ ОПЕРАТОРА: Сброс тревоги"_s}));
    window->actions().ImageEdit->trigger();
    EXPECT_EQ(lastLine(), QString(u"08.12.2023 9:15:02  ДЕЙСТВИЕ ОПЕРАТОРА: Редактор планов: вход"_s).toStdString());
    window->actions().ImageEdit->trigger();
    EXPECT_EQ(lastLine(), QString(u"08.12.2023 9:15:02  ДЕЙСТВИЕ ОПЕРАТОРА: Редактор планов: выход"_s).toStdString());
    EXPECT_TRUE(window->close());
    EXPECT_TRUE(logLines().contains(u"08.12.2023 9:15:02  ДЕЙСТВИЕ ОПЕРАТОРА: Выход"_s));
}

TEST_F(AccessWiringTest, CommandsAboveTheLevelAreRefusedJournaledAndNotHidden)
{
    writeStoreComplex();
    writeUsers();
    auto window = openWindow();
    const MainActions& a = window->actions();
    EXPECT_EQ(status(*window), u"ОПЕРАТОР НЕ ВОШЁЛ, уровень 1"_s);
    receiveFire(window->workstation());
    const struct {
        QAction* action;
        QString caption;
    } refused[] = {
        {a.AlarmOff, u"Сброс тревоги"_s}, {a.TotalControl, u"Общий контроль"_s}, {a.DatOff, u"Выключить извещатель"_s},
        {a.markerArm, u"Поставить на охрану"_s}, {a.NewConfig, u"Ввести в состав"_s}, {a.ImageEdit, u"Редактор планов"_s},
        {a.IniCOM[2], u"СОМ-порт COM3"_s},
    };
    for (const auto& r : refused) {
        EXPECT_TRUE(r.action->isVisible() || r.action == a.IniCOM[2]);
        r.action->trigger();
        EXPECT_EQ(lastLine(), (u"08.12.2023 9:15:02  ДОСТУП ЗАПРЕЩЕН: "_s + r.caption).toStdString());
    }
    EXPECT_EQ(window->workstation().alarms().AlarmLevel(), Annunciation::Fire);
    EXPECT_FALSE(a.ImageEdit->isChecked());
    EXPECT_FALSE(a.IniCOM[2]->isChecked());
    EXPECT_FALSE(window->close());
    EXPECT_EQ(dialogs.shown.back().caption, u"Доступ запрещён"_s);

    a.SoundSys->trigger(); // everyone may silence
    EXPECT_EQ(lastLine(), QString(u"08.12.2023 9:15:02  ДЕЙСТВИЕ ОПЕРАТОРА: Звук откл. (тревога: A01:СКЛАД)"_s).toStdString());
    signIn(*window);
    EXPECT_EQ(status(*window), u"ОПЕРАТОР: Иванов, уровень 2"_s);
    a.AlarmOff->trigger();
    EXPECT_EQ(window->workstation().alarms().AlarmLevel(), Annunciation::Normal);
    EXPECT_EQ(lastLine(), QString(u"08.12.2023 9:15:02  ДЕЙСТВИЕ ОПЕРАТОРА Иванов: Сброс тревоги"_s).toStdString());
    a.NewConfig->trigger();
    EXPECT_EQ(lastLine(), QString(u"08.12.2023 9:15:02  ДОСТУП ЗАПРЕЩЕН: Ввести в состав"_s).toStdString());
    a.signOut->trigger();
    EXPECT_EQ(lastLine(), QString(u"08.12.2023 9:15:02  ВЫХОД ОПЕРАТОРА: Иванов"_s).toStdString());
}

TEST_F(AccessWiringTest, SignInWindowSaysWhyAndClosesOnceSignedIn)
{
    writeUsers();
    auto window = openWindow();
    window->actions().signIn->trigger();
    auto* signIn = window->findChild<QWidget*>(u"SignInWindow"_s);
    ASSERT_TRUE(signIn);
    auto* password = signIn->findChild<QLineEdit*>(u"password"_s);
    password->setText(u"неверно"_s);
    QTest::keyClick(password, Qt::Key_Return);
    EXPECT_EQ(signIn->findChild<QLabel*>(u"message"_s)->text(), u"Неверный пароль."_s);
    EXPECT_TRUE(password->text().isEmpty());
    password->setText(u"пароль"_s);
    QTest::keyClick(password, Qt::Key_Return);
    EXPECT_FALSE(signIn->isVisible());
    EXPECT_EQ(status(*window), u"ОПЕРАТОР: Иванов, уровень 2"_s);
}

TEST_F(AccessWiringTest, SignsOutAfterTheMinutesOfTheSettings)
{
    // No complex: no link to lose, so no fault alarm holds the sign-out off.
    folder.writeText(u"KirvanMonitorP.ini"_s, u"[Настройки]\nВыход оператора, мин=2\n"_s);
    writeUsers();
    auto window = openWindow();
    signIn(*window);
    loop.advance(2 * 60'000);
    EXPECT_TRUE(logLines().contains(u"08.12.2023 9:15:02  ВЫХОД ОПЕРАТОРА: Иванов (по времени)"_s));
    EXPECT_TRUE(window->workstation().access().who().isEmpty());
}

TEST_F(AccessWiringTest, StartIsRefusedWhenOthersCanWriteTheUserFile)
{
    writeStoreComplex();
    writeUsers();
    ASSERT_EQ(::chmod(QFile::encodeName(folder.file(UserList::fileName())).constData(), 0664), 0);
    EXPECT_THROW(openWindow(), UserFileRefused);
    EXPECT_FALSE(logLines().join(u'\n').contains(u"ВКЛЮЧЕН"_s));
}

} // namespace
} // namespace kirvan::testing
