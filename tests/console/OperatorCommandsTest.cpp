#include "tests/console/WorkstationFixture.h"

#include "config/StateIcon.h"
#include "link/Commands.h"
#include "platform/Timer.h"

namespace kirvan::testing {
namespace {

// Systems at addresses 0 and 2 only: ОФИС with a control panel of four lines, СКЛАД with two of
// eight and no third.
class OperatorCommandsTest : public WorkstationFixture {
protected:
    OperatorCommandsTest()
    {
        folder.writeText(QStringLiteral("Офис.cnf"), QStringLiteral("[ПРИБОРЫ]\nППКП1=-4\nППКП2=ЕСТЬ\n"));
        folder.writeText(QStringLiteral("Офис.tb2"), QStringLiteral("[И21-03]\nЗОНА=Приёмная\nТЕКСТ=Вход\nТИП=ОХРАНА\nСОСТОЯНИЕ=ВКЛ\n"));
        folder.writeText(QStringLiteral("Склад.cnf"), QStringLiteral("[ПРИБОРЫ]\nППКП1=ЕСТЬ\nППКП2=ЕСТЬ\nППКП3=НЕТ\n"));
        folder.writeText(QStringLiteral("Склад.tb1"), QStringLiteral("[И12-07]\nЗОНА=Цех\nТЕКСТ=Ворота\nТИП=ДЫМОВОЙ\nСОСТОЯНИЕ=ВКЛ\n"));
        folder.writeText(QStringLiteral("KirvanMonitorP.ini"),
                         QStringLiteral("[АДРЕС]\n00=") + folder.file(QStringLiteral("Офис.cnf")) + QStringLiteral("\n02=")
                             + folder.file(QStringLiteral("Склад.cnf")) + u'\n');
        folder.writeText(QStringLiteral("kirvanmonitorp.cnf"),
                         QStringLiteral("A00:ОФИС\n\tПриёмная\n\t\tИ21-03 Вход\nA02:СКЛАД\n\tЦех\n\t\tИ12-07 Ворота\n"
                                        "\t\tИ31-01 Склад\n"));
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
        {"sound off of a zone's system", u"Цех", &OperatorCommands::SoundSysExecute, {QStringLiteral("02/И01-01/02")},
         u"          КОМАНДА: ЗВУК.ОТКЛ"},
        {"sound off without a selection", nullptr, &OperatorCommands::SoundSysExecute, {}, nullptr},
        {"detector on", u"И12-07", &OperatorCommands::DatOnExecute, {QStringLiteral("02/И12-07/03")}, nullptr},
        {"detector off", u"И21-03", &OperatorCommands::DatOffExecute, {QStringLiteral("00/И21-03/05")}, nullptr},
        {"simulated fault", u"И12-07", &OperatorCommands::N20Click, {QStringLiteral("02/И12-07/08")}, nullptr},
        {"simulated fire", u"И12-07", &OperatorCommands::N21Click, {QStringLiteral("02/И12-07/07")}, nullptr},
        {"detector on at a zone", u"Цех", &OperatorCommands::DatOnExecute, {}, nullptr},
        {"detector off at a system", u"A00", &OperatorCommands::DatOffExecute, {}, nullptr},
        {"sound off of the complex", u"A00", &OperatorCommands::AllSoundOffExecute,
         {QStringLiteral("00/И01-01/02"), QStringLiteral("02/И01-01/02")}, u"          КОМАНДА: ЗВУК ОТКЛ."},
        {"control check without a selection", nullptr, &OperatorCommands::ControlSysExecute, {}, nullptr},
    };
    for (const LocalCase& c : cases) {
        SCOPED_TRACE(c.name);
        workstation->statusBar().setPanel13(unchanged);
        if (c.selected)
            select(QString::fromUtf16(c.selected));
        else
            workstation->tree().select(nullptr);
        newRecords();
        (workstation->commands().*c.command)();
        EXPECT_EQ(newRecords(), c.records);
        EXPECT_EQ(workstation->statusBar().Panel13(), c.panel13 ? QString::fromUtf16(c.panel13) : unchanged);
    }
    EXPECT_TRUE(port.sent.empty() || std::none_of(port.sent.begin(), port.sent.end(), [](const FakeLinkPort::Sent& s) {
        return s.byte == command::arm || s.byte == command::switchDetector;
    })) << "local commands put nothing on the line";
}

TEST_F(OperatorCommandsTest, ControlCheckResetsTheSystemAndEndsWithTheNextTransmission)
{
    select(QStringLiteral("И12-07"));
    workstation->commands().N21Click();
    ASSERT_EQ(workstation->alarms().AlarmLevel(), Annunciation::Fire);
    newRecords();
    loop.advance(PollingCycle::startupTicks * 800); // polling has begun to send
    const auto started = loop.now();
    workstation->commands().ControlSysExecute();
    EXPECT_EQ(newRecords(), (QStringList{QStringLiteral("02/И01-01/01"), QStringLiteral("02/И01-01/00")}));
    EXPECT_GT(loop.now(), started) << "the normal line waits for a frame";
    EXPECT_LE(loop.now() - started, 800 + 200);
    EXPECT_EQ(workstation->alarms().AlarmLevel(), Annunciation::Normal);
    EXPECT_EQ(workstation->tree().topLevel()[1]->imageIndex(), stateicon::systemNormal);
}

TEST_F(OperatorCommandsTest, ControlCheckWaitsWhilePollingStopsAndOthersActMeanwhile)
{
    select(QStringLiteral("A02"));
    // As plan edit mode does.
    PollingCycle& polling = workstation->link().cycle();
    polling.stop();
    // Meanwhile: a fire from the line, a second control check of the other system, polling again.
    std::vector<std::pair<int, std::function<void()>>> meanwhile = {
        {1000, [&] { workstation->dispatcher().ProcessEvent(QStringLiteral("02/И12-07/07")); }},
        {2000,
         [&] {
             select(QStringLiteral("A00"));
             workstation->commands().ControlSysExecute();
         }},
        {5000, [&] { polling.start(); }},
    };
    std::vector<std::unique_ptr<Timer>> timers;
    for (auto& [at, action] : meanwhile) {
        auto timer = loop.createTimer();
        Timer* raw = timer.get();
        timer->setInterval(at);
        timer->setOnTimer([raw, action] {
            raw->setEnabled(false);
            action();
        });
        timer->setEnabled(true);
        timers.push_back(std::move(timer));
    }
    newRecords();
    workstation->commands().ControlSysExecute();
    EXPECT_GT(loop.now(), 5000);
    EXPECT_EQ(newRecords(), (QStringList{QStringLiteral("02/И01-01/01"), QStringLiteral("02/И12-07/07"),
                                         QStringLiteral("00/И01-01/01"), QStringLiteral("00/И01-01/00"),
                                         QStringLiteral("02/И01-01/00")}));
}

TEST_F(OperatorCommandsTest, TotalControlResetsReloadsAndChecksEverySystemInTurn)
{
    select(QStringLiteral("И12-07"));
    workstation->commands().N21Click();
    newRecords();
    workstation->commands().TotalControlExecute();
    EXPECT_EQ(workstation->alarms().AlarmLevel(), Annunciation::Normal);
    EXPECT_EQ(workstation->statusBar().Panel13(), QStringLiteral("          КОМАНДА: КОНТРОЛЬ"));
    EXPECT_EQ(newRecords(), (QStringList{QStringLiteral("00/И01-01/01"), QStringLiteral("00/И01-01/00"),
                                         QStringLiteral("02/И01-01/01"), QStringLiteral("02/И01-01/00")}));
    EXPECT_EQ(workstation->tree().topLevel()[1]->imageIndex(), stateicon::systemNormal) << "reloaded";
}

TEST_F(OperatorCommandsTest, TotalControlAndSoundOffOfAnEmptyComplexOnlyResetAndSilence)
{
    folder.writeText(QStringLiteral("kirvanmonitorp.cnf"), QString());
    workstation->commands().TotalControlExecute();
    ASSERT_TRUE(workstation->tree().topLevel().empty());
    workstation->alarms().RaiseFireAlarm();
    workstation->commands().AllSoundOffExecute();
    EXPECT_FALSE(workstation->alarms().blinking());
    newRecords();
    workstation->statusBar().setPanel13(QStringLiteral("unchanged"));
    workstation->commands().TotalControlExecute();
    workstation->commands().AllSoundOffExecute();
    EXPECT_TRUE(newRecords().isEmpty());
    EXPECT_EQ(workstation->alarms().AlarmLevel(), Annunciation::Normal);
    EXPECT_EQ(workstation->statusBar().Panel13(), QStringLiteral("unchanged"));
}

} // namespace
} // namespace kirvan::testing
