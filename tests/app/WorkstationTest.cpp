#include "tests/app/WorkstationFixture.h"

#include "events/StoredConditions.h"

#include "access/PasswordHash.h"
#include "files/FileWriteError.h"
#include "files/SettingsKeys.h"
#include "complex/StateIcon.h"
#include "events/StoredConditions.h"
#include "link/PollingCycle.h"
#include "platform/AlertTones.h"
#include "platform/WaveFile.h"

#include <QDir>

namespace kirvan::testing {
namespace {

using WorkstationTest = WorkstationFixture;

TEST_F(WorkstationTest, FirstStartCreatesTheSettingsAndLogsOnlyTheShutDown)
{
    {
        auto workstation = startWorkstation();
        EXPECT_EQ(folder.readText(QStringLiteral("KirvanMonitorP.ini")),
                  QStringLiteral("[Настройки]\r\nCOM-порт=1\r\nТаблица=0\r\n[ОБЩИЙ ПЛАН]\r\n0=\r\n"
                                 "[АДРЕС]\r\n00=\r\n01=\r\n02=\r\n03=\r\n"));
        EXPECT_TRUE(workstation->log().historyList().isEmpty());
        clock.set(QDateTime(QDate(2023, 12, 8), QTime(17, 40, 11)));
        workstation->windowClosed();
    }
    EXPECT_EQ(logLines(), QStringList{QStringLiteral("08.12.2023 17:40:11  КОМПЛЕКС КИРВАН ВЫКЛЮЧЕН")});
}

TEST_F(WorkstationTest, SecondStartLogsTheStartUpLine)
{
    startWorkstation().reset();
    startWorkstation().reset();
    EXPECT_EQ(logLines(), (QStringList{QStringLiteral("08.12.2023 9:15:02  КОМПЛЕКС КИРВАН ВЫКЛЮЧЕН"),
                                       QStringLiteral("08.12.2023 9:15:02  КОМПЛЕКС КИРВАН ВКЛЮЧЕН"),
                                       QStringLiteral("08.12.2023 9:15:02  КОМПЛЕКС КИРВАН ВЫКЛЮЧЕН")}));
}

TEST_F(WorkstationTest, ShutDownLineNeedsNoSettings)
{
    auto workstation = startWorkstation();
    workstation->windowClosed();
    EXPECT_FALSE(workstation->settingsOpen());
    QFile::remove(folder.file(QStringLiteral("KirvanMonitorP.ini")));
    workstation.reset();
    EXPECT_TRUE(logLines().back().endsWith(QStringLiteral("  КОМПЛЕКС КИРВАН ВЫКЛЮЧЕН")));
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("KirvanMonitorP.ini"))));
}

TEST_F(WorkstationTest, InstallationOpensTheHelpPageOnceAfterHalfASecond)
{
    folder.writeText(QStringLiteral("KirvanMonitorP.ini"), QStringLiteral("[Настройки]\nУстановка=1\n"));
    auto workstation = startWorkstation();
    EXPECT_FALSE(folder.readText(QStringLiteral("KirvanMonitorP.ini")).contains(QStringLiteral("Установка")));
    const auto activated = loop.now();
    workstation->windowActivated();
    EXPECT_EQ(loop.now() - activated, 500);
    EXPECT_EQ(shell.opened, std::vector<QString>{folder.file(QStringLiteral("Help/index.html"))});
    workstation->windowActivated();
    EXPECT_EQ(shell.opened.size(), 1u) << "a later activation does not open it again";
}

TEST_F(WorkstationTest, InstallationKeyOtherThanOneStaysAndOpensNothing)
{
    for (const char16_t* value : {u"2", u"да"}) {
        folder.writeText(QStringLiteral("KirvanMonitorP.ini"),
                         QStringLiteral("[Настройки]\nУстановка=") + QString::fromUtf16(value) + u'\n');
        auto workstation = startWorkstation();
        EXPECT_TRUE(folder.readText(QStringLiteral("KirvanMonitorP.ini")).contains(QStringLiteral("Установка")));
        workstation->windowActivated();
        EXPECT_TRUE(shell.opened.empty());
    }
}

TEST_F(WorkstationTest, SettingsThatCanNeitherBeOpenedNorCreatedStopTheStart)
{
    EXPECT_THROW(Workstation(platform(), restorer, WorkstationFolder(folder.file(QStringLiteral("no/such/folder")))),
                 FileWriteError);
}

TEST_F(WorkstationTest, ReceivedFireReachesTheJournalThroughTheWholeChain)
{
    writeStoreComplex();
    auto workstation = startWorkstation();
    receiveFire(*workstation);
    EXPECT_EQ(workstation->log().historyText(),
              QStringLiteral("01/И12-05/07 08.12.2023 9:15:02 ПОЖАР: СКЛАД Цех 1 Коридор"));
    EXPECT_EQ(restorer.restores, 1);
    EXPECT_EQ(workstation->table().journalRow(), 2);
    // Neither the workstation folder nor the test program's has the sound files: the fire
    // sounds the built-in alert, and the operator learns why.
    loop.advance(1000);
    EXPECT_EQ(workstation->alarms().text(), QStringLiteral(" ПОЖАР"));
    EXPECT_EQ(sound.calls, std::vector<QString>{QStringLiteral("looped ")});
    EXPECT_EQ(workstation->statusBar().messagePanel(),
              QStringLiteral("ВНИМАНИЕ! НЕ НАЙДЕН ЗВУКОВОЙ ФАЙЛ alarm.wav: ЗВУЧИТ ВСТРОЕННЫЙ СИГНАЛ"));
}

// An installed program keeps its sounds in the shared data folder, after the workstation's own.
TEST_F(WorkstationTest, FireSoundsTheInstalledAlarmFileWhenTheFolderHasNone)
{
    writeStoreComplex();
    const TempFolder shared;
    shared.write(QStringLiteral("alarm.wav"), waveFileBytes(tones::alarmSweep()));
    Workstation workstation(platform(), restorer, WorkstationFolder(folder.path(), shared.path()));
    workstation.start();
    receiveFire(workstation);
    loop.advance(1000);
    EXPECT_EQ(sound.calls, std::vector<QString>{QStringLiteral("looped ") + shared.file(QStringLiteral("alarm.wav"))});
    EXPECT_EQ(workstation.statusBar().messagePanel(), QString());
}

TEST_F(WorkstationTest, FireInAZoneWithAManualModuleAsksAndTheAnswerQueuesTheScenario)
{
    writeStoreComplex(QStringLiteral("[МОДУЛЬ УПРАВЛЕНИЯ 3]\nСИСТЕМА=A01:СКЛАД\nЗОНА=Цех 1\nСЦЕНАРИЙ=5\n"
                                     "РЕЖИМ=РУЧНОЙ\nКОМЕНТАРИЙ=Вентиляция цеха\n"));
    auto workstation = startWorkstation();
    const auto scenarioQueued = [&] {
        for (int slot = 0; slot < CommandQueue::Capacity; ++slot)
            if (workstation->link().queue().slot(slot) == Command{1, 152, 4, 91})
                return true;
        return false;
    };
    receiveFire(*workstation);
    ControlModules& modules = workstation->controlModules();
    ASSERT_TRUE(modules.prompt()) << "start-up built the table";
    EXPECT_EQ(workstation->alarms().alarmLevel(), Annunciation::Fire);
    workstation->alarms().resetAlarm();
    ASSERT_TRUE(modules.prompt()) << "the reset leaves the question to the operator";
    EXPECT_FALSE(scenarioQueued());
    modules.answerYes();
    EXPECT_TRUE(scenarioQueued());
}

// The operator's "ДА" finding eight commands waiting is refused in so many words: a notice and a
// journal line, never a scenario that silently does not start.
TEST_F(WorkstationTest, AnAnswerFindingTheCommandQueueFullIsRefusedWithANoticeAndAJournalLine)
{
    writeStoreComplex(QStringLiteral("[МОДУЛЬ УПРАВЛЕНИЯ 3]\nСИСТЕМА=A01:СКЛАД\nЗОНА=Цех 1\nСЦЕНАРИЙ=5\n"
                                     "РЕЖИМ=РУЧНОЙ\nКОМЕНТАРИЙ=Вентиляция цеха\n"));
    auto workstation = startWorkstation();
    receiveFire(*workstation);
    ASSERT_TRUE(workstation->controlModules().prompt());
    for (std::uint8_t i = 0; i < CommandQueue::Capacity; ++i)
        ASSERT_TRUE(workstation->link().queueCommand(1, 154, i, 0));
    const std::size_t shownBefore = dialogs.shown.size();
    workstation->controlModules().answerYes();
    loop.advance(1);
    for (int slot = 0; slot < workstation->link().queue().size(); ++slot)
        EXPECT_NE(workstation->link().queue().slot(slot).code, 152);
    ASSERT_EQ(dialogs.shown.size(), shownBefore + 1);
    EXPECT_TRUE(dialogs.shown.back().text.contains(QStringLiteral("Команда не принята")))
        << dialogs.shown.back().text.toStdString();
    EXPECT_EQ(logLines().back(),
              QStringLiteral(
                  "08.12.2023 9:15:02  КОМАНДА НЕ ПРИНЯТА, ОЧЕРЕДЬ КОМАНД ЗАПОЛНЕНА: ЗАПУСТИТЬ СЦЕНАРИЙ 5 СИСТЕМЫ A01"));
    // The load's two state requests go first, then the first of the eight.
    for (int sent = 0; sent < 3; ++sent)
        workstation->link().queue().takeNext();
    EXPECT_TRUE(workstation->link().queueCommand(1, 152, 4, 91)) << "room again once one has gone";
}

// A user file made with kirvan-tool while the workstation runs counts without a restart.
TEST_F(WorkstationTest, AUserFileMadeWhileRunningIsTakenUp)
{
    writeStoreComplex();
    auto workstation = startWorkstation();
    ASSERT_FALSE(workstation->access().restricted());
    UserList users;
    users.put(
        User{QStringLiteral("Иванов"), AccessLevel::Operator, hashPassword(QStringLiteral("x"), HashCost::cheapest())});
    users.save(folder.file(UserList::fileName()));
    loop.advance(AccessControl::userFileLookMs);
    EXPECT_TRUE(workstation->access().restricted());
    EXPECT_EQ(logLines().back(),
              QStringLiteral("08.12.2023 9:15:02  ФАЙЛ ПОЛЬЗОВАТЕЛЕЙ ПРИНЯТ: KirvanMonitorP.users, пользователей 1"));
}

TEST_F(WorkstationTest, StartWithThePortClosedSearchesItAtOnceAndPollsOnIt)
{
    writeStoreComplex(QStringLiteral("[Настройки]\nCOM-порт=3\n"));
    port.open = false;
    auto workstation = startWorkstation();
    EXPECT_EQ(port.opened, std::vector<int>{3});
    EXPECT_TRUE(port.open);
    loop.advance(PollingCycle::tickMs * (PollingCycle::startupTicks + 1));
    ASSERT_FALSE(port.sent.empty());
    EXPECT_LE(port.sent.front().at, 7200) << "the first frame once the start-up ticks are over";
}

// A workstation that cannot hear its systems says so as loudly as a fault: a missing adapter
// after the start-up's 20 s, and a line on which nobody answers, each give the system one link
// loss with its row, grey icon and fault sound; the silent line at once, the closed port after
// the 20 s of the start-up's search.
TEST_F(WorkstationTest, AClosedPortAndASilentLineEachGiveOneLinkLossWithItsFaultAlarm)
{
    writeStoreComplex(QStringLiteral("[Настройки]\nCOM-порт=3\n"));
    for (const bool closed : {true, false}) {
        SCOPED_TRACE(closed ? "closed port" : "silent line");
        port.open = false;
        if (closed)
            port.existing.clear();
        else
            port.existing = {3};
        sound.calls.clear();
        auto workstation = startWorkstation();
        const int rowsBefore = workstation->table().journalRow();
        if (closed) {
            loop.advance(15'000);
            EXPECT_EQ(workstation->alarms().alarmLevel(), Annunciation::Normal) << "the port may still be found";
        }
        loop.advance(75'000);
        EXPECT_EQ(port.open, !closed);
        const QStringList lost = logLines().filter(QStringLiteral("НЕТ СВЯЗИ С КОМПЛЕКСОМ"));
        EXPECT_EQ(lost.size(), closed ? 1 : 2) << "once per outage (per run here)";
        EXPECT_EQ(workstation->alarms().alarmLevel(), Annunciation::Fault);
        EXPECT_EQ(workstation->table().journalRow(), rowsBefore + 1);
        EXPECT_EQ(workstation->tree().topLevel()[0]->imageIndex(), stateicon::systemNoLink);
        ASSERT_FALSE(sound.calls.empty());
        EXPECT_TRUE(sound.calls.back().startsWith(QStringLiteral("once"))) << "the fault sound";
        EXPECT_NE(workstation->statusBar().linkLamp(), (Rgb{0, 128, 0}));
    }
}

// Alarms that nobody can hear are a fault the operator must know of: a lasting notice and one
// journal line each time the output device goes.
TEST_F(WorkstationTest, NoSoundDeviceIsALastingNoticeAndOneJournalLineEachTimeItGoes)
{
    const QString notice = QStringLiteral("ЗВУК НЕ ВОСПРОИЗВОДИТСЯ: нет звукового устройства");
    const auto journaled = [&] { return logLines().filter(notice).size(); };
    sound.device = false;
    auto workstation = startWorkstation();
    EXPECT_EQ(workstation->statusBar().soundTrouble(), notice);
    EXPECT_EQ(journaled(), 1);
    workstation->statusBar().setMessagePanel(QStringLiteral("another message"));
    ASSERT_TRUE(sound.onOutputsChanged);
    sound.onOutputsChanged(); // another device went, still none
    EXPECT_EQ(workstation->statusBar().soundTrouble(), notice) << "lasting";
    EXPECT_EQ(journaled(), 1);
    sound.device = true;
    sound.onOutputsChanged();
    EXPECT_TRUE(workstation->statusBar().soundTrouble().isEmpty());
    sound.device = false;
    sound.onOutputsChanged();
    EXPECT_EQ(journaled(), 2);
}

} // namespace
} // namespace kirvan::testing

namespace kirvan::testing {
namespace {

// The word at rest tells what is still true, the list is acknowledged row by row with the sound
// going with the last one waiting, and a restart shows what the complex was in.
class ActiveAlarmsTest : public WorkstationFixture {
protected:
    void record(Workstation& w, const char* text) { w.dispatcher().processEvent(QString::fromUtf8(text)); }
    int linesWith(const QString& text) const
    {
        const QStringList lines = logLines();
        return int(std::count_if(lines.begin(), lines.end(), [&](const QString& l) { return l.contains(text); }));
    }
};

TEST_F(ActiveAlarmsTest, ResetLeavesOtkazWhileASystemIsSilent)
{
    writeStoreComplex();
    auto w = startWorkstation();
    record(*w, "01/И12-05/07");
    record(*w, "01/И01-01/23");
    w->alarms().resetAlarm();
    EXPECT_EQ(w->alarms().text(), QStringLiteral(" ОТКАЗ"));
    EXPECT_FALSE(w->alarms().blinking());
    record(*w, "01/И01-01/00");
    EXPECT_EQ(w->alarms().text(), QStringLiteral(" НОРМА"));
}

TEST_F(ActiveAlarmsTest, AnEmptyFolderIsNotNormal)
{
    auto w = startWorkstation();
    EXPECT_EQ(w->alarms().text(), QStringLiteral("НЕ НАСТРОЕН")) << w->statusBar().messagePanel().toStdString();
    EXPECT_TRUE(w->statusBar().messagePanel().contains(QStringLiteral("Сервис → Ввести в состав")))
        << w->statusBar().messagePanel().toStdString();
}

TEST_F(ActiveAlarmsTest, SoundGoesWithTheLastAcknowledgement)
{
    writeStoreComplex();
    auto w = startWorkstation();
    record(*w, "01/И12-05/07");
    record(*w, "01/И12-06/07");
    w->alarmList().acknowledge(1);
    EXPECT_EQ(linesWith(QStringLiteral("  КВИТИРОВАНО: СКЛАД И12-05 Цех 1 Коридор")), 1);
    EXPECT_TRUE(w->alarms().blinking());
    w->alarmList().acknowledge(0);
    EXPECT_FALSE(w->alarms().blinking());
    record(*w, "01/И12-07/07");
    EXPECT_TRUE(w->alarms().blinking());
}

// A storm changes the state many times a second; the disk gets it once a second, the newest last.
TEST_F(ActiveAlarmsTest, AStormIsStoredOnceASecond)
{
    writeStoreComplex();
    auto w = startWorkstation();
    const auto stored = [&] {
        return StoredConditions::decode(folder.read(QStringLiteral("KirvanMonitorP.alarms"))).conditions.size();
    };
    const auto storm = [&] {
        for (int detector = 1; detector <= 40; ++detector)
            record(*w, QStringLiteral("01/И12-%1/07").arg(detector, 2, 10, QLatin1Char('0')).toUtf8().constData());
    };
    storm();
    EXPECT_EQ(stored(), 1u);
    loop.advance(999);
    EXPECT_EQ(stored(), 1u);
    loop.advance(1);
    EXPECT_EQ(stored(), 40u);

    // Raised again as listed, the state is what the file says: it is not written again.
    folder.writeText(QStringLiteral("KirvanMonitorP.alarms"), QStringLiteral("[ТРЕВОГИ]\nУРОВЕНЬ=2\nЧИСЛО=0\n"));
    storm();
    loop.advance(2000);
    EXPECT_EQ(stored(), 0u);
    w->alarmList().acknowledge(3);
    loop.advance(1000);
    EXPECT_EQ(stored(), 40u);
}

TEST_F(ActiveAlarmsTest, ARestartShowsTheFiresAgain)
{
    writeStoreComplex();
    auto before = startWorkstation();
    record(*before, "01/И12-05/07");
    record(*before, "01/И12-06/07");
    // The state reaches the disk within a second of a change; after that, as after kill -9, it is
    // all the next start has.
    loop.advance(1000);
    auto after = startWorkstation();
    EXPECT_EQ(after->alarms().alarmLevel(), Annunciation::Fire);
    EXPECT_EQ(after->alarmList().conditions().rows().size(), 2u);
    EXPECT_EQ(linesWith(QStringLiteral("  СОСТОЯНИЕ ТРЕВОГ ВОССТАНОВЛЕНО: 2")), 1);
    EXPECT_EQ(after->tree().detectorNode(u"01", u"И12-05")->imageIndex(), stateicon::fire);

    folder.writeText(QStringLiteral("KirvanMonitorP.alarms"), QStringLiteral("[ТРЕВОГИ]\nУРОВЕНЬ=9\n"));
    auto damaged = startWorkstation();
    EXPECT_EQ(linesWith(QStringLiteral("  СОСТОЯНИЕ ТРЕВОГ НЕ ВОССТАНОВЛЕНО")), 1);
}

} // namespace
} // namespace kirvan::testing
