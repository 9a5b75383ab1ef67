#include "tests/link/PanelLinkFixture.h"

#include "files/SettingsKeys.h"

#include <algorithm>

namespace kirvan::testing {
namespace {

class LinkSupervisionTest : public PanelLinkFixture {
protected:
    LinkSupervisionTest()
    {
        configure({0, 1, 2, 3});
        answering = {0, 1, 2, 3};
        link.cycle().start();
        loop.advance(8 * 800);
    }

    // When system `address` answered last: the time of the answer to its last check.
    std::int64_t silence(int address)
    {
        answering.erase(address);
        return loop.now();
    }
};

TEST_F(LinkSupervisionTest, SilentSystemIsReportedOnceWithinTenSeconds)
{
    loop.advance(30 * 800);
    ASSERT_TRUE(records.empty());
    const std::int64_t lastAnswer = silence(1);
    loop.advance(60'000);
    ASSERT_EQ(records, std::vector<QString>{QStringLiteral("01/И01-01/23")});
    EXPECT_LE(recordTimes[0] - lastAnswer, 10'000);
    EXPECT_EQ(link.cycle().linkState()[1], 0x30);
    EXPECT_EQ(link.cycle().linkState()[0], 0);
}

TEST_F(LinkSupervisionTest, ReturnIsReportedOnceAndTheStateIsNormalAgain)
{
    silence(2);
    loop.advance(20'000);
    answering.insert(2);
    loop.advance(20'000);
    EXPECT_EQ(records, (std::vector<QString>{QStringLiteral("02/И01-01/23"), QStringLiteral("02/И01-01/00")}));
    EXPECT_EQ(link.cycle().linkState()[2], 0);
}

TEST_F(LinkSupervisionTest, OneLostAnswerIsNoLoss)
{
    // One answer of system 3 does not arrive; the next ones do.
    answering.erase(3);
    loop.advance(4 * 800);
    answering.insert(3);
    loop.advance(20'000);
    EXPECT_TRUE(records.empty());
}

TEST_F(LinkSupervisionTest, SilentLineReopensThePortAtMostOnceAMinute)
{
    settings.ini().writeInteger(settings::sectionSettings, settings::keyComPort, 3);
    answering.clear();
    loop.advance(29'000);
    ASSERT_EQ(records.size(), 4u) << "every system is reported lost";
    EXPECT_EQ(port.opened, std::vector<int>{3}) << "a silent line is searched within 30 s";
    loop.advance(60'000);
    EXPECT_EQ(port.opened, (std::vector<int>{3, 3}));
    EXPECT_EQ(records.size(), 4u) << "losses are not reported again";
}

// A workstation that cannot hear its systems says so as loudly as a fault, once for the outage,
// after the 20 s that the start-up's search of the port may take.
TEST_F(LinkSupervisionTest, ClosedPortIsEverySystemsLossOnceAfterTwentySecondsAndItsOpeningBringsThemBack)
{
    settings.ini().writeInteger(settings::sectionSettings, settings::keyComPort, 2);
    // The adapter is missing: the port cannot be opened, nothing goes out, nothing comes back.
    port.open = false;
    port.existing.erase(2);
    loop.advance(19'000);
    EXPECT_TRUE(records.empty()) << "the port may still be found";
    loop.advance(81'000);
    EXPECT_FALSE(port.open);
    EXPECT_EQ(records, (std::vector<QString>{QStringLiteral("00/И01-01/23"), QStringLiteral("01/И01-01/23"),
                                             QStringLiteral("02/И01-01/23"), QStringLiteral("03/И01-01/23")}));
    EXPECT_LE(recordTimes[0], 8 * 800 + 21'000);
    EXPECT_EQ(port.opened, (std::vector<int>{2, 2})) << "searched at the first tick and a minute later";
    // Plugged in: the next search opens it, the systems answer and each is reported back.
    port.existing.insert(2);
    loop.advance(60'000);
    EXPECT_TRUE(port.open);
    loop.advance(30'000);
    EXPECT_EQ(records.size(), 8u);
    EXPECT_EQ(std::count(records.begin(), records.end(), QStringLiteral("03/И01-01/00")), 1);
    EXPECT_EQ(link.cycle().linkState(), (LinkStateTable{0, 0, 0, 0}));
    // A system that falls silent once the port is open is reported as before.
    silence(3);
    loop.advance(10'000);
    EXPECT_EQ(records.back(), QStringLiteral("03/И01-01/23"));
    EXPECT_EQ(records.size(), 9u);
}

TEST_F(LinkSupervisionTest, AdapterUnpluggedWhileOpenIsEverySystemsLossAndItsReturnBringsThemBack)
{
    settings.ini().writeInteger(settings::sectionSettings, settings::keyComPort, 2);
    // The line the systems were supervised on is gone: that is a loss, unlike a port never opened.
    port.lost = true;
    port.existing.erase(2);
    loop.advance(30'000);
    EXPECT_EQ(records.size(), 4u);
    EXPECT_FALSE(port.open) << "the silent line's search found no port";
    port.existing.insert(2);
    loop.advance(70'000);
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(std::count(records.begin(), records.end(), QStringLiteral("00/И01-01/00")), 1);
    EXPECT_EQ(records.size(), 8u);
    EXPECT_EQ(link.cycle().linkState(), (LinkStateTable{0, 0, 0, 0}));
}

// The adapter pulled out and put back: the port is opened again within a tick, not at the next
// minute's search, so a fire sent a second after its return is journaled at once.
TEST_F(LinkSupervisionTest, AnAdapterBackIsOpenedWithinATickAndItsFireJournaledAtOnce)
{
    settings.ini().writeInteger(settings::sectionSettings, settings::keyComPort, 2);
    port.lost = true;
    port.existing.erase(2);
    loop.advance(35'000);
    port.existing.insert(2);
    const std::int64_t back = loop.now();
    loop.advance(1000);
    ASSERT_TRUE(port.isOpen());
    port.received.deliver(frameBytes(0x20, 0x01, 0x94, 0x11, 0x04));
    link.receiver().bytesArrived(static_cast<std::uint16_t>(port.inCount()));
    EXPECT_EQ(records.back(), QStringLiteral("01/И12-05/07"));
    EXPECT_LE(recordTimes.back() - back, 2000);
}

} // namespace
} // namespace kirvan::testing
