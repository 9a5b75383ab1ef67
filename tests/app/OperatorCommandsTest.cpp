#include "tests/app/WorkstationFixture.h"

#include "complex/StateIcon.h"
#include "link/CommandQueue.h"
#include "link/Commands.h"
#include "platform/Timer.h"

#include <QRegularExpression>

namespace kirvan::testing {
namespace {

// Systems at addresses 0 and 2 only: ОФИС with a control panel of four lines, СКЛАД with two of
// eight and no third. A01 stands in the tree without a system file entry.
class OperatorCommandsTest : public WorkstationFixture {
protected:
    OperatorCommandsTest()
    {
        folder.writeText(QStringLiteral("Офис.cnf"), QStringLiteral("[ПРИБОРЫ]\nППКП1=-4\nППКП2=ЕСТЬ\n"));
        folder.writeText(QStringLiteral("Офис.tb2"),
                         QStringLiteral("[И21-03]\nЗОНА=Приёмная\nТЕКСТ=Вход\nТИП=ОХРАНА\nСОСТОЯНИЕ=ВКЛ\n"));
        folder.writeText(QStringLiteral("Склад.cnf"), QStringLiteral("[ПРИБОРЫ]\nППКП1=ЕСТЬ\nППКП2=ЕСТЬ\nППКП3=НЕТ\n"));
        folder.writeText(QStringLiteral("Склад.tb1"),
                         QStringLiteral("[И12-07]\nЗОНА=Цех\nТЕКСТ=Ворота\nТИП=ДЫМОВОЙ\nСОСТОЯНИЕ=ВКЛ\n"));
        folder.writeText(QStringLiteral("KirvanMonitorP.ini"),
                         QStringLiteral("[АДРЕС]\n00=") + folder.file(QStringLiteral("Офис.cnf"))
                             + QStringLiteral("\n02=") + folder.file(QStringLiteral("Склад.cnf")) + u'\n');
        folder.writeText(QStringLiteral("kirvanmonitorp.cnf"),
                         QStringLiteral("A00:ОФИС\n\tПриёмная\n\t\tИ21-03 Вход\n\t\tИ15-01 Окно\n"
                                        "A01:ПУСТО\n\tЗал\n\t\tИ01-01 Дверь\n"
                                        "A02:СКЛАД\n\tЦех\n\t\tИ12-07 Ворота\n\t\tИ31-01 Склад\n"));
        workstation = startWorkstation();
    }

    void select(const QString& textStart)
    {
        TreeNode* found = nullptr;
        workstation->tree().walk([&](TreeNode& node) {
            if (node.text().startsWith(textStart))
                found = &node;
            return !found;
        });
        ASSERT_NE(found, nullptr) << textStart.toStdString();
        workstation->tree().select(found);
    }

    // The records of the history line since the last call.
    QStringList newRecords()
    {
        QStringList records;
        const QStringList& lines = workstation->log().historyList();
        for (qsizetype i = seen_; i < lines.size(); ++i)
            records << lines[i].left(12);
        seen_ = lines.size();
        return records;
    }

    std::unique_ptr<Workstation> workstation;

private:
    qsizetype seen_ = 0;
};

struct LocalCase {
    const char* name;
    const char16_t* selected; // nullptr: no node selected
    void (OperatorCommands::*command)();
    QStringList records;
    const char16_t* panel13;
};

TEST_F(OperatorCommandsTest, LocalCommandsHandTheirRecordsToEventProcessing)
{
    const QString unchanged = QStringLiteral("unchanged");
    const LocalCase cases[] = {
        {"sound off of a zone's system",
         u"Цех",
         &OperatorCommands::silenceSystem,
         {QStringLiteral("02/И01-01/02")},
         u"          КОМАНДА: ЗВУК.ОТКЛ"},
        {"sound off without a selection", nullptr, &OperatorCommands::silenceSystem, {}, nullptr},
        {"detector on", u"И12-07", &OperatorCommands::switchDetectorOn, {QStringLiteral("02/И12-07/03")}, nullptr},
        {"detector off", u"И21-03", &OperatorCommands::switchDetectorOff, {QStringLiteral("00/И21-03/05")}, nullptr},
        {"simulated fault", u"И12-07", &OperatorCommands::simulateFault, {QStringLiteral("02/И12-07/08")}, nullptr},
        {"simulated fire", u"И12-07", &OperatorCommands::simulateFire, {QStringLiteral("02/И12-07/07")}, nullptr},
        {"detector on at a zone", u"Цех", &OperatorCommands::switchDetectorOn, {}, nullptr},
        {"detector off at a system", u"A00", &OperatorCommands::switchDetectorOff, {}, nullptr},
        {"sound off of the complex",
         u"A00",
         &OperatorCommands::silenceComplex,
         {QStringLiteral("00/И01-01/02"), QStringLiteral("02/И01-01/02")},
         u"          КОМАНДА: ЗВУК ОТКЛ."},
        {"control check without a selection", nullptr, &OperatorCommands::controlCheck, {}, nullptr},
    };
    for (const LocalCase& c : cases) {
        SCOPED_TRACE(c.name);
        workstation->statusBar().setCommandPanel(unchanged);
        if (c.selected)
            select(QString::fromUtf16(c.selected));
        else
            workstation->tree().select(nullptr);
        newRecords();
        (workstation->commands().*c.command)();
        EXPECT_EQ(newRecords(), c.records);
        EXPECT_EQ(workstation->statusBar().commandPanel(), c.panel13 ? QString::fromUtf16(c.panel13) : unchanged);
    }
    EXPECT_TRUE(port.sent.empty()
                || std::none_of(port.sent.begin(), port.sent.end(),
                                [](const FakeLinkPort::Sent& s) {
                                    return s.byte == command::arm || s.byte == command::switchDetector;
                                }))
        << "local commands put nothing on the line";
}

struct ArmingCase {
    const char* name;
    const char16_t* selected;
    void (OperatorCommands::*command)();
    std::optional<Command> frame;
    const char16_t* warning; // nullptr: none
};

// Arming and disarming go out at once, each as one frame with the line number and detector index;
// where the line number cannot be known nothing goes out and the operator is told which detector.
TEST_F(OperatorCommandsTest, ArmingSendsOneFrameOrWarnsAndSendsNothing)
{
    const ArmingCase cases[] = {
        {"disarm И12-07: line 7 + 2, index 6", u"И12-07", &OperatorCommands::disarm, Command{2, command::disarm, 9, 6},
         nullptr},
        {"arm behind a panel of four lines: line 7 + 4 + 1", u"И21-03", &OperatorCommands::arm,
         Command{0, command::arm, 12, 2}, nullptr},
        {"a device at the first absent panel", u"И31-01", &OperatorCommands::arm, std::nullopt,
         u"Команда не передана: прибора или линии извещателя И31-01 нет в файле конфигурации системы 02."},
        {"line 5 of a panel of four lines", u"И15-01", &OperatorCommands::disarm, std::nullopt,
         u"Команда не передана: прибора или линии извещателя И15-01 нет в файле конфигурации системы 00."},
        {"a system without a file entry", u"И01-01", &OperatorCommands::arm, std::nullopt,
         u"Не обнаружен файл конфигурации!"},
        {"a zone", u"Цех", &OperatorCommands::arm, std::nullopt, nullptr},
        {"a system", u"A02", &OperatorCommands::disarm, std::nullopt, nullptr},
    };
    for (const ArmingCase& c : cases) {
        SCOPED_TRACE(c.name);
        select(QString::fromUtf16(c.selected));
        workstation->statusBar().setCommandPanel(QStringLiteral("unchanged"));
        const std::size_t sentBefore = port.sent.size();
        const std::size_t shownBefore = dialogs.shown.size();
        newRecords();
        (workstation->commands().*c.command)();
        std::vector<Command> frames;
        for (std::size_t i = sentBefore; i + 7 <= port.sent.size(); ++i)
            if (port.sent[i].parity == Parity::mark
                && (port.sent[i + 2].byte == command::arm || port.sent[i + 2].byte == command::disarm))
                frames.push_back({port.sent[i].byte, port.sent[i + 2].byte, port.sent[i + 3].byte, port.sent[i + 4].byte});
        EXPECT_EQ(frames, c.frame ? std::vector<Command>{*c.frame} : std::vector<Command>{});
        if (c.warning) {
            ASSERT_EQ(dialogs.shown.size(), shownBefore + 1);
            EXPECT_EQ(dialogs.shown.back().caption, QStringLiteral("Предупреждение"));
            EXPECT_EQ(dialogs.shown.back().text, QString::fromUtf16(c.warning));
        } else {
            EXPECT_EQ(dialogs.shown.size(), shownBefore);
        }
        EXPECT_TRUE(newRecords().isEmpty()) << "the journal follows the panel's report";
        EXPECT_EQ(workstation->statusBar().commandPanel(), QStringLiteral("unchanged"));
    }
}

// A one-shot action at a time from now, run from whatever wait the main thread is in then.
std::unique_ptr<Timer> after(MessageLoop& loop, int ms, std::function<void()> action)
{
    auto timer = loop.createTimer();
    Timer* raw = timer.get();
    timer->setInterval(ms);
    timer->setOnTimer([raw, action = std::move(action)] {
        raw->setEnabled(false);
        action();
    });
    timer->setEnabled(true);
    return timer;
}

struct WaitCase {
    const char* name;
    int startAt; // the time of the check after polling started
    int endsBy; // the check is over by then
};

// The check ends with the pause of the next frame that polling sends: within a polling period on
// a running line, and only after the start-up ticks, when polling has not sent anything yet.
TEST_F(OperatorCommandsTest, ControlCheckResetsTheSystemAndEndsWithTheNextTransmission)
{
    const auto pollingStarted = loop.now();
    const int startupOver = PollingCycle::startupTicks * 800;
    const WaitCase cases[] = {
        {"right after start-up", 0, startupOver + 200},
        {"on a running line", startupOver + 100, startupOver + 100 + 800 + 200},
    };
    select(QStringLiteral("И12-07"));
    for (const WaitCase& c : cases) {
        SCOPED_TRACE(c.name);
        workstation->commands().simulateFire();
        ASSERT_EQ(workstation->alarms().alarmLevel(), Annunciation::Fire);
        loop.advance(pollingStarted + c.startAt - loop.now());
        newRecords();
        workstation->commands().controlCheck();
        EXPECT_EQ(newRecords(), QStringList{QStringLiteral("02/И01-01/01")}) << "the command returns at once";
        EXPECT_EQ(workstation->alarms().alarmLevel(), Annunciation::Normal);
        EXPECT_EQ(workstation->tree().topLevel()[2]->imageIndex(), stateicon::systemNormal);
        loop.advance(pollingStarted + c.endsBy - loop.now());
        EXPECT_EQ(newRecords(), QStringList{QStringLiteral("02/И01-01/00")});
    }
}

// F5 pressed at any moment of a polling tick, also inside the tick's own waits (for the line,
// for the pause after the address byte, at the very expiry that ends it): the check ends with
// "НОРМА" and polling goes on.
TEST_F(OperatorCommandsTest, ControlCheckAtEveryPhaseOfThePollingTickEndsAndPollingGoesOn)
{
    port.linePace = FakeLinkPort::panelLine;
    loop.advance(PollingCycle::startupTicks * PollingCycle::tickMs + 1000);
    // The time a tick handed its address byte over: every frame starts with one.
    const auto lastTickAt = [this] {
        for (auto sent = port.sent.rbegin(); sent != port.sent.rend(); ++sent)
            if (sent->parity == Parity::mark)
                return sent->at;
        return std::int64_t{-1};
    };
    select(QStringLiteral("A02"));
    for (int phase = 0; phase < PollingCycle::tickMs; phase += 7) {
        SCOPED_TRACE(phase);
        const std::int64_t nextTick = lastTickAt() + PollingCycle::tickMs;
        ASSERT_GT(nextTick, loop.now());
        newRecords();
        auto press = after(loop, static_cast<int>(nextTick + phase - loop.now()),
                           [this] { workstation->commands().controlCheck(); });
        loop.advance(nextTick + phase + 2 * PollingCycle::tickMs - loop.now());
        // Nobody answers here: the link losses reported meanwhile do not count.
        const QStringList checks = newRecords().filter(QRegularExpression(QStringLiteral("/0[01]$")));
        EXPECT_EQ(checks, (QStringList{QStringLiteral("02/И01-01/01"), QStringLiteral("02/И01-01/00")}));
        const std::size_t sent = port.sent.size();
        loop.advance(2 * PollingCycle::tickMs);
        EXPECT_GT(port.sent.size(), sent) << "polling goes on";
        EXPECT_TRUE(workstation->link().cycle().running());
    }
}

TEST_F(OperatorCommandsTest, ControlChecksOfTwoSystemsEndTogetherWithTheNextFrameWhileOthersActMeanwhile)
{
    loop.advance(PollingCycle::startupTicks * 800 + 100);
    workstation->planEditor().togglePlanEditMode();
    ASSERT_TRUE(workstation->planEditor().editMode());
    select(QStringLiteral("A02"));
    newRecords();
    workstation->commands().controlCheck();
    // Meanwhile, before the next frame: a fire from the line and a check of the other system.
    workstation->dispatcher().processEvent(QStringLiteral("02/И12-07/07"));
    select(QStringLiteral("A00"));
    workstation->commands().controlCheck();
    loop.advance(800 + 200);
    EXPECT_TRUE(workstation->planEditor().editMode()) << "polling went on in plan edit mode";
    EXPECT_EQ(newRecords(), (QStringList{QStringLiteral("02/И01-01/01"), QStringLiteral("02/И12-07/07"),
                                         QStringLiteral("00/И01-01/01"), QStringLiteral("02/И01-01/00"),
                                         QStringLiteral("00/И01-01/00")}));
}

TEST_F(OperatorCommandsTest, TotalControlResetsReloadsAndChecksEverySystemInTurn)
{
    select(QStringLiteral("И12-07"));
    workstation->commands().simulateFire();
    newRecords();
    workstation->commands().controlAll();
    EXPECT_EQ(workstation->alarms().alarmLevel(), Annunciation::Normal);
    EXPECT_EQ(workstation->statusBar().commandPanel(), QStringLiteral("          КОМАНДА: КОНТРОЛЬ"));
    EXPECT_EQ(workstation->tree().topLevel()[2]->imageIndex(), stateicon::systemFire)
        << "the reloaded tree shows the fire until its system's check";
    EXPECT_EQ(newRecords(), QStringList{QStringLiteral("00/И01-01/01")});
    loop.advance(PollingCycle::startupTicks * 800 + 3 * 800);
    EXPECT_EQ(newRecords(), (QStringList{QStringLiteral("00/И01-01/00"), QStringLiteral("02/И01-01/01"),
                                         QStringLiteral("02/И01-01/00")}));
    EXPECT_EQ(workstation->tree().topLevel()[2]->imageIndex(), stateicon::systemNormal);
}

// A fire that arrives while "Общий контроль" waits between two systems is not the check's to
// reset: the next system's record leaves it shown, with its picture.
TEST_F(OperatorCommandsTest, TotalControlLeavesAFireThatArrivesWhileItWaits)
{
    loop.advance(PollingCycle::startupTicks * 800 + 100);
    auto watch = loop.createTimer();
    watch->setInterval(50);
    watch->setOnTimer([&] {
        const QStringList& lines = workstation->log().historyList();
        if (!lines.isEmpty() && lines.back().startsWith(u"00/И01-01/01")) {
            watch->setEnabled(false);
            workstation->dispatcher().processEvent(QStringLiteral("02/И12-07/07"));
        }
    });
    watch->setEnabled(true);
    newRecords();
    workstation->commands().controlAll();
    loop.advance(3 * 800);
    EXPECT_EQ(newRecords(), (QStringList{QStringLiteral("00/И01-01/01"), QStringLiteral("02/И12-07/07"),
                                         QStringLiteral("00/И01-01/00"), QStringLiteral("02/И01-01/01"),
                                         QStringLiteral("02/И01-01/00")}));
    EXPECT_EQ(workstation->alarms().alarmLevel(), Annunciation::Fire);
    EXPECT_TRUE(workstation->alarms().blinking());
    EXPECT_EQ(workstation->tree().topLevel()[2]->children()[0]->children()[0]->imageIndex(), stateicon::fire);
    EXPECT_EQ(workstation->tree().topLevel()[2]->imageIndex(), stateicon::systemFire);
}

// The reload of "Общий контроль" waits before it reads the composition; a fire meanwhile is marked
// on the new tree and stays through the checks.
TEST_F(OperatorCommandsTest, TotalControlMarksAFireOfItsReloadOnTheNewTree)
{
    loop.advance(PollingCycle::startupTicks * 800 + 100);
    auto fire = loop.createTimer();
    fire->setInterval(100);
    fire->setOnTimer([&] {
        fire->setEnabled(false);
        workstation->dispatcher().processEvent(QStringLiteral("02/И12-07/07"));
    });
    fire->setEnabled(true);
    workstation->commands().controlAll();
    loop.advance(5000);
    const TreeNode& detector = *workstation->tree().topLevel()[2]->children()[0]->children()[0];
    EXPECT_EQ(detector.imageIndex(), stateicon::fire);
    EXPECT_EQ(workstation->tree().selected(), &detector) << "the display is the fire's";
    EXPECT_EQ(workstation->alarms().alarmLevel(), Annunciation::Fire);
}

// "Имитировать пожар/тревогу" of a zone whose control module starts by itself: the journal says
// it is a simulation, and nothing goes to the panel.
TEST_F(OperatorCommandsTest, SimulatedFireIsJournaledAsSuchAndStartsNoScenario)
{
    workstation->settings().ini().writeString(u"МОДУЛЬ УПРАВЛЕНИЯ 1", u"СИСТЕМА", u"A02:СКЛАД");
    workstation->settings().ini().writeString(u"МОДУЛЬ УПРАВЛЕНИЯ 1", u"ЗОНА", u"Цех");
    workstation->settings().ini().writeString(u"МОДУЛЬ УПРАВЛЕНИЯ 1", u"СЦЕНАРИЙ", u"5");
    workstation->settings().ini().writeString(u"МОДУЛЬ УПРАВЛЕНИЯ 1", u"РЕЖИМ", u"АВТОМАТ");
    workstation->controlModules().fillSlots();
    const auto scenarioQueued = [this] {
        for (int slot = 0; slot < CommandQueue::Capacity; ++slot)
            if (workstation->link().queue().slot(slot).code == command::startScenario)
                return true;
        return false;
    };
    select(QStringLiteral("И12-07"));
    workstation->commands().simulateFire();
    EXPECT_FALSE(scenarioQueued());
    EXPECT_TRUE(workstation->log().historyList().back().contains(u"ПОЖАР: СКЛАД ИМИТАЦИЯ Цех Ворота"))
        << workstation->log().historyList().back().toStdString();
    EXPECT_EQ(workstation->table().cell(1, 3), QStringLiteral("ИМИТАЦИЯ Цех Ворота"));
    workstation->commands().simulateFault();
    EXPECT_TRUE(workstation->log().historyList().back().contains(u"ОТКАЗ: СКЛАД ИМИТАЦИЯ Цех Ворота"));
    workstation->dispatcher().processEvent(QStringLiteral("02/И12-07/07"));
    EXPECT_TRUE(scenarioQueued()) << "the real fire starts it";
    EXPECT_FALSE(workstation->log().historyList().back().contains(u"ИМИТАЦИЯ"));
}

TEST_F(OperatorCommandsTest, TotalControlAndSoundOffOfAnEmptyComplexOnlyResetAndSilence)
{
    folder.writeText(QStringLiteral("kirvanmonitorp.cnf"), QString());
    workstation->commands().controlAll();
    ASSERT_TRUE(workstation->tree().topLevel().empty());
    // F6 silences whether or not a node is selected: it is the sound-off key of the menu too.
    for (void (OperatorCommands::*soundOff)() : {&OperatorCommands::silenceComplex, &OperatorCommands::silenceSystem}) {
        workstation->alarms().raiseFireAlarm();
        (workstation->commands().*soundOff)();
        EXPECT_FALSE(workstation->alarms().blinking());
    }
    newRecords();
    workstation->statusBar().setCommandPanel(QStringLiteral("unchanged"));
    workstation->commands().controlAll();
    workstation->commands().silenceComplex();
    workstation->commands().silenceSystem();
    EXPECT_TRUE(newRecords().isEmpty());
    EXPECT_EQ(workstation->alarms().alarmLevel(), Annunciation::Normal);
    EXPECT_EQ(workstation->statusBar().commandPanel(), QStringLiteral("unchanged"));
}

} // namespace
} // namespace kirvan::testing
