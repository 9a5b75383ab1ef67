#include "platform/Rgb.h"
#include "tests/endtoend/EndToEndRig.h"

#include <atomic>
#include <gtest/gtest.h>

namespace kirvan::testing {
namespace {

// Link loss is reported within this bound with four systems; the rig plays one, so sooner.
constexpr int lossLimitMs = 10'000;
// The workstation polls only after eight ticks of 800 ms and the two state requests.
constexpr int firstCheckLimitMs = 15'000;

TEST(EndToEndTest, AnInjectedEventReachesTheJournalAndTheTextLog)
{
    EndToEndRig rig;
    rig.inject(QStringLiteral("fire 1 И12-05"));
    ASSERT_TRUE(rig.waitFor([&] { return rig.historyHas(QStringLiteral("01/И12-05/07")); }, eventLimitMs));
    EXPECT_TRUE(rig.workstation->log().historyText().contains(QStringLiteral("СКЛАД")));
    EXPECT_TRUE(rig.logHas(QStringLiteral("01/И12-05/07")));
}

TEST(EndToEndTest, NoiseAndABadChecksumBetweenFramesLoseNoFrame)
{
    EndToEndRig rig;
    for (const char16_t* step : {u"fault 1 И12-05", u"noise 20", u"badsum", u"fire 1 И01-05", u"noise 100",
                                 u"techno 1 И13-02", u"badsum", u"short 1 1 3"})
        rig.inject(QString::fromUtf16(step));
    const QStringList expected{QStringLiteral("01/И12-05/08"), QStringLiteral("01/И01-05/07"),
                               QStringLiteral("01/И13-02/51"), QStringLiteral("01/И13-01/10")};
    ASSERT_TRUE(rig.waitFor([&] { return rig.historyHas(expected.back()); }, eventLimitMs));
    for (const QString& record : expected) {
        EXPECT_TRUE(rig.historyHas(record)) << record.toStdString();
        EXPECT_TRUE(rig.logHas(record)) << record.toStdString();
    }
}

TEST(EndToEndTest, AnsweredChecksShowTheLinkAndASilentSystemIsReportedLostAndBack)
{
    EndToEndRig rig;
    std::atomic<int> answers = 0;
    rig.simulator->setOnWritten([&](const std::vector<std::uint8_t>& item, auto) {
        if (item.size() == 7 && item[0] == 0x20 && item[2] == 0)
            ++answers;
    });
    ASSERT_TRUE(rig.waitFor([&] { return answers >= 2; }, firstCheckLimitMs));
    ASSERT_TRUE(rig.waitFor([&] { return rig.workstation->statusBar().linkLamp() == Rgb{0, 128, 0}; }, eventLimitMs));
    EXPECT_EQ(rig.workstation->statusBar().statePanel(), QStringLiteral("  СОСТОЯНИЕ: НОРМА"));
    EXPECT_FALSE(rig.historyHas(QStringLiteral("01/И01-01/23")));

    rig.inject(QStringLiteral("silent 1"));
    ASSERT_TRUE(rig.waitFor([&] { return rig.historyHas(QStringLiteral("01/И01-01/23")); }, lossLimitMs));
    EXPECT_TRUE(rig.logHas(QStringLiteral("01/И01-01/23")));

    rig.inject(QStringLiteral("answer 1"));
    ASSERT_TRUE(rig.waitFor([&] { return rig.historyHas(QStringLiteral("01/И01-01/00")); }, eventLimitMs));
    EXPECT_TRUE(rig.logHas(QStringLiteral("01/И01-01/00")));
}

} // namespace
} // namespace kirvan::testing
