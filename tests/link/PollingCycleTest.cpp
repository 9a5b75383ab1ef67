#include "tests/link/PanelLinkFixture.h"

#include "files/SettingsKeys.h"
#include "link/Commands.h"

namespace kirvan::testing {
namespace {

class PollingCycleTest : public PanelLinkFixture {
protected:
    PollingCycleTest() { link.cycle().start(); }

    // The address and code of every frame sent.
    std::vector<std::pair<int, int>> sentCommands() const
    {
        std::vector<std::pair<int, int>> commands;
        for (const Bytes& frame : framesSent())
            commands.emplace_back(frame[0], frame[2]);
        return commands;
    }
};

TEST_F(PollingCycleTest, FirstEightTicksSendNothing)
{
    configure({0});
    loop.advance(8 * 800);
    EXPECT_TRUE(port.sent.empty());
    EXPECT_EQ(link.cycle().PollTicks(), 8);
    loop.advance(800);
    EXPECT_EQ(framesSent().size(), 1u);
    EXPECT_EQ(framesSent()[0][1], 0x20) << "the first frame after the start-up ticks";
}

TEST_F(PollingCycleTest, QueuedCommandsGoBeforeLinkChecks)
{
    configure({0, 1});
    for (const int address : {0, 0, 1, 1})
        link.QueueCommand(static_cast<std::uint8_t>(address), command::initialRequest, 0, 0);
    loop.advance(8 * 800 + 6 * 800);
    EXPECT_EQ(sentCommands(), (std::vector<std::pair<int, int>>{
                                  {0, 0x82}, {0, 0x82}, {1, 0x82}, {1, 0x82}, {0, 0}, {1, 0}}));
    EXPECT_EQ(statusBar.Panel13(), QStringLiteral("          КОМАНДА: ПРОВЕРКА СВЯЗИ"));
}

TEST_F(PollingCycleTest, LinkChecksGoToTheConfiguredAddressesInTurn)
{
    configure({0, 2});
    answering = {0, 2};
    loop.advance(8 * 800 + 5 * 800);
    EXPECT_EQ(sentCommands(), (std::vector<std::pair<int, int>>{{0, 0}, {2, 0}, {0, 0}, {2, 0}, {0, 0}}));
}

TEST_F(PollingCycleTest, OneFramePerTickEvenWithSendsDuringTheTick)
{
    configure({0, 1, 2, 3});
    loop.advance(8 * 800 + 100 * 800);
    EXPECT_EQ(framesSent().size(), 100u);
    // Each frame starts 800 ms after the one before.
    for (std::size_t f = 1; f < 100; ++f)
        EXPECT_EQ(port.sent[f * 7].at - port.sent[(f - 1) * 7].at, 800);
}

TEST_F(PollingCycleTest, CursorAfterALoadThatDropsSystemsGoesToAConfiguredAddress)
{
    configure({0, 1, 2, 3});
    loop.advance(8 * 800 + 3 * 800); // checks 0, 1, 2: the cursor stands at 3
    ASSERT_EQ(link.cycle().PollCursor(), 3);
    configure({0, 1});
    port.sent.clear();
    loop.advance(2 * 800);
    EXPECT_EQ(sentCommands(), (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}}));
}

TEST_F(PollingCycleTest, StatusShowsTheRequestThenNormal200msAfter)
{
    configure({0});
    std::vector<std::pair<std::int64_t, QString>> states;
    statusBar.setOnChanged([&] {
        if (!statusBar.Panel15().isEmpty() && (states.empty() || states.back().second != statusBar.Panel15()))
            states.emplace_back(loop.now(), statusBar.Panel15());
    });
    loop.advance(9 * 800 + 200);
    EXPECT_EQ(states, (std::vector<std::pair<std::int64_t, QString>>{
                          {7200, QStringLiteral("  СОСТОЯНИЕ: ЗАПРОС")}, {7400, QStringLiteral("  СОСТОЯНИЕ: НОРМА")}}));
}

TEST_F(PollingCycleTest, StopDuringATickIsKept)
{
    configure({0});
    auto stopper = loop.createTimer();
    stopper->setInterval(9 * 800 + 100); // inside the first working tick's pause
    stopper->setOnTimer([&] {
        stopper->setEnabled(false);
        link.cycle().stop();
    });
    stopper->setEnabled(true);
    loop.advance(20 * 800);
    EXPECT_EQ(framesSent().size(), 1u);
    EXPECT_FALSE(link.cycle().running());
}

TEST_F(PollingCycleTest, NothingConfiguredChecksTheCursorAddressAndReturnsItToZero)
{
    configure({});
    loop.advance(9 * 800);
    EXPECT_EQ(sentCommands(), (std::vector<std::pair<int, int>>{{0, 0}}));
    EXPECT_EQ(link.cycle().PollCursor(), 0);
}

} // namespace
} // namespace kirvan::testing
