#include "files/IniStore.h"
#include "link/FrameDecoder.h"
#include "link/FrameScanner.h"
#include "tests/endtoend/SmallComplex.h"
#include "tests/support/FixedLocale.h"
#include "tools/kirvan-sim/SimComplex.h"
#include "tools/kirvan-sim/SimEngine.h"
#include "tools/kirvan-sim/SimScript.h"

#include <QDir>
#include <gtest/gtest.h>
#include <random>

namespace kirvan::sim {
namespace {

using testing::TempFolder;

// The workstation's command frame: address, marker 0x20, code, parameters, checksum.
std::vector<std::uint8_t> command(std::uint8_t address, std::uint8_t code, std::uint8_t a = 0, std::uint8_t b = 0)
{
    Frame frame{address, 0x20, code, a, b, 0, 0};
    frame[6] = frameChecksum(frame.data());
    return {frame.begin(), frame.end()};
}

// The records the workstation makes of the engine's writes.
QStringList records(const Reply& reply)
{
    QStringList out;
    for (const auto& item : reply.writes)
        scanFrames(item.data(), item.size(), [&](const Frame& accepted) {
            Frame frame = accepted;
            out << (frameKind(frame) == FrameKind::Answer ? QStringLiteral("answer") : decodeFrame(frame));
        });
    return out;
}

class SimEngineTest : public ::testing::Test {
protected:
    SimCommand parsed(const char16_t* line)
    {
        auto result = parseCommand(QString::fromUtf16(line), complex);
        EXPECT_TRUE(std::holds_alternative<SimCommand>(result));
        return std::get<SimCommand>(result);
    }
    QString error(const char16_t* line)
    {
        auto result = parseCommand(QString::fromUtf16(line), complex);
        return std::holds_alternative<QString>(result) ? std::get<QString>(result) : QString();
    }

    TempFolder folder;
    const bool written = (testing::writeSmallComplex(folder), true);
    testing::FixedLocale locale;
    IniStore store{locale};
    SimComplex complex{store, folder.path()};
    SimEngine engine{complex, 7};
};

TEST_F(SimEngineTest, PlaysTheSystemsWithAFileAndKnowsTheirDetectors)
{
    ASSERT_EQ(complex.systems().size(), 1u);
    EXPECT_EQ(complex.systems()[0].name, QStringLiteral("СКЛАД"));
    EXPECT_EQ(complex.systems()[0].detectors.size(), 4u);
    EXPECT_TRUE(complex.describe(1, QStringLiteral("И12-05")).contains(QStringLiteral("Цех 1")));
}

TEST_F(SimEngineTest, AnswersLinkChecksOfItsSystemsUnlessSilent)
{
    EXPECT_EQ(records(engine.received(command(1, 0))), QStringList{QStringLiteral("answer")});
    EXPECT_TRUE(engine.received(command(0, 0)).writes.empty());
    engine.execute(parsed(u"silent 1"));
    EXPECT_TRUE(engine.received(command(1, 0)).writes.empty());
    engine.execute(parsed(u"answer 1"));
    EXPECT_EQ(records(engine.received(command(1, 0))).size(), 1);
}

TEST_F(SimEngineTest, FindsAFrameWhoseAddressByteCameAlone)
{
    const auto frame = command(1, 0);
    EXPECT_TRUE(engine.received(std::span(frame).first(1)).writes.empty());
    EXPECT_EQ(records(engine.received(std::span(frame).subspan(1))).size(), 1);
}

TEST_F(SimEngineTest, ReportsSwitchedOffDetectorsOnTheStateRequest)
{
    EXPECT_EQ(records(engine.received(command(1, 130))), QStringList{QStringLiteral("01/И01-06/05")});
}

TEST_F(SimEngineTest, SwitchesDetectorsByTheirRunningLineNumber)
{
    // Device 0 has lines 0 to 7, device 1 (ППКП1) lines 8 to 15: line 9 is И12.
    EXPECT_EQ(records(engine.received(command(1, 138, 9 | 0x80, 4))), QStringList{QStringLiteral("01/И12-05/05")});
    EXPECT_EQ(records(engine.received(command(1, 130))),
              (QStringList{QStringLiteral("01/И01-06/05"), QStringLiteral("01/И12-05/05")}));
    EXPECT_EQ(records(engine.received(command(1, 138, 9, 4))), QStringList{QStringLiteral("01/И12-05/03")});
    EXPECT_EQ(records(engine.received(command(1, 138, 0, 5))), QStringList{QStringLiteral("01/И01-06/03")});
}

TEST_F(SimEngineTest, ArmsDisarmsAndMovesContacts)
{
    EXPECT_EQ(records(engine.received(command(1, 158, 0, 5))), QStringList{QStringLiteral("01/И01-06/30")});
    EXPECT_EQ(records(engine.received(command(1, 159, 0, 5))), QStringList{QStringLiteral("01/И01-06/31")});
    EXPECT_EQ(records(engine.received(command(1, 154, 0x13, 62))), QStringList{QStringLiteral("01/И14-63/24")});
    EXPECT_EQ(records(engine.received(command(1, 155, 0x13, 62))), QStringList{QStringLiteral("01/И14-63/25")});
}

TEST_F(SimEngineTest, LogsScenariosAndTheAdsAcknowledgement)
{
    const Reply scenario = engine.received(command(1, 152, 4, 91));
    EXPECT_TRUE(scenario.writes.empty());
    EXPECT_TRUE(scenario.log.join(u'\n').contains(QStringLiteral("scenario 5 started")));
    const Reply ads = engine.received(command(0x21, 138, 0x80, 1));
    EXPECT_TRUE(ads.writes.empty());
    EXPECT_TRUE(ads.log.join(u'\n').contains(QStringLiteral("system 1 has left the complex, acknowledged")));
}

TEST_F(SimEngineTest, InjectedEventsBecomeTheirRecords)
{
    EXPECT_EQ(records(engine.execute(parsed(u"fire 1 И12-05"))), QStringList{QStringLiteral("01/И12-05/07")});
    EXPECT_EQ(records(engine.execute(parsed(u"techno 1 И13-02"))), QStringList{QStringLiteral("01/И13-02/51")});
    EXPECT_EQ(records(engine.execute(parsed(u"fault 1 И12-05"))), QStringList{QStringLiteral("01/И12-05/08")});
    EXPECT_EQ(records(engine.execute(parsed(u"release 1 И12-05"))), QStringList{QStringLiteral("01/И12-05/38")});
    EXPECT_EQ(records(engine.execute(parsed(u"short 1 1 3"))), QStringList{QStringLiteral("01/И13-01/10")});
    EXPECT_EQ(records(engine.execute(parsed(u"power 1 2"))), QStringList{QStringLiteral("01/И21-62/32")});
    EXPECT_EQ(records(engine.execute(parsed(u"nolink 1 ППКП 2"))), QStringList{QStringLiteral("01/И21-64/09")});
    EXPECT_EQ(records(engine.execute(parsed(u"nolink 1 ПУ-П"))), QStringList{QStringLiteral("01/И01-64/09")});
}

TEST_F(SimEngineTest, NoiseAndABadChecksumFormNoFrameAndSwallowNone)
{
    std::vector<std::uint8_t> line;
    for (const char16_t* step :
         {u"fire 1 И12-05", u"noise 200", u"badsum", u"fault 1 И12-05", u"badsum 1", u"noise 3", u"techno 1 И13-02"})
        for (const auto& item : engine.execute(parsed(step)).writes)
            line.insert(line.end(), item.begin(), item.end());
    QStringList found;
    scanFrames(line.data(), line.size(), [&](const Frame& accepted) {
        Frame frame = accepted;
        found << decodeFrame(frame);
    });
    EXPECT_EQ(found, (QStringList{QStringLiteral("01/И12-05/07"), QStringLiteral("01/И12-05/08"),
                                  QStringLiteral("01/И13-02/51")}));
}

TEST_F(SimEngineTest, ClearErrorsForWhatItCannotDo)
{
    EXPECT_TRUE(error(u"flood 1").startsWith(QStringLiteral("unknown command \"flood\"")));
    EXPECT_EQ(error(u"fire 1 И12-09"), QStringLiteral("unknown detector И12-09 in system 1"));
    EXPECT_EQ(error(u"fire 2 И12-05"), QStringLiteral("no system is played at address 2"));
    EXPECT_TRUE(error(u"fire 1").startsWith(QStringLiteral("usage:")));
    EXPECT_TRUE(error(u"noise 0").startsWith(QStringLiteral("usage:")));
    EXPECT_TRUE(error(u"nolink 1 ППКП 9").startsWith(QStringLiteral("usage:")));
}

TEST_F(SimEngineTest, SurvivesWhateverTheLineCarries)
{
    std::mt19937 random(11);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::uint8_t> bytes(static_cast<std::size_t>(byte(random) % 40));
        for (auto& b : bytes)
            b = static_cast<std::uint8_t>(byte(random));
        if (round % 3 == 0) // a valid frame of any code and parameters now and then
            bytes = command(static_cast<std::uint8_t>(byte(random) % 4), static_cast<std::uint8_t>(byte(random)),
                            static_cast<std::uint8_t>(byte(random)), static_cast<std::uint8_t>(byte(random)));
        engine.received(bytes);
    }
}

TEST_F(SimEngineTest, ScriptsAreCheckedBeforeTheyRun)
{
    const Script good = parseScript(QStringLiteral("s"), u"# demo\nwait 1.5\nfire 1 И12-05\n\nsilent 1\r\n", complex);
    EXPECT_TRUE(good.errors.isEmpty());
    ASSERT_EQ(good.steps.size(), 3u);
    EXPECT_EQ(good.steps[0].waitSeconds, 1.5);
    EXPECT_EQ(good.steps[2].command.action, SimCommand::Action::Silent);
    const Script bad = parseScript(QStringLiteral("s"), u"wait x\nfire 1 И12-09\n", complex);
    EXPECT_EQ(bad.errors, (QStringList{QStringLiteral("s:1: usage: wait SECONDS"),
                                       QStringLiteral("s:2: unknown detector И12-09 in system 1")}));
}

TEST(SimComplexTest, RefusesAMissingFolderOrOneWithoutSystems)
{
    testing::FixedLocale locale;
    IniStore store(locale);
    EXPECT_THROW(SimComplex(store, QStringLiteral("/nonexistent/kirvan")), ComplexError);
    TempFolder empty;
    EXPECT_THROW(SimComplex(store, empty.path()), ComplexError);
    empty.writeText(QStringLiteral("KirvanMonitorP.ini"), QStringLiteral("[АДРЕС]\n01=Нет.cnf\n"));
    EXPECT_THROW(SimComplex(store, empty.path()), ComplexError);
}

} // namespace
} // namespace kirvan::sim
