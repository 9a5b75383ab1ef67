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
    EXPECT_EQ(link.cycle().pollTicks(), 8);
    loop.advance(800);
    EXPECT_EQ(framesSent().size(), 1u);
    EXPECT_EQ(framesSent()[0][1], 0x20) << "the first frame after the start-up ticks";
}

TEST_F(PollingCycleTest, QueuedCommandsGoBeforeLinkChecks)
{
    configure({0, 1});
    for (const int address : {0, 0, 1, 1})
        link.queueCommand(static_cast<std::uint8_t>(address), command::initialRequest, 0, 0);
    loop.advance(8 * 800 + 6 * 800);
    EXPECT_EQ(sentCommands(),
              (std::vector<std::pair<int, int>>{{0, 0x82}, {0, 0x82}, {1, 0x82}, {1, 0x82}, {0, 0}, {1, 0}}));
    EXPECT_EQ(statusBar.commandPanel(), QStringLiteral("          КОМАНДА: ПРОВЕРКА СВЯЗИ"));
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
    ASSERT_EQ(link.cycle().pollCursor(), 3);
    configure({0, 1});
    port.sent.clear();
    loop.advance(2 * 800);
    EXPECT_EQ(sentCommands(), (std::vector<std::pair<int, int>>{{0, 0}, {1, 0}}));
}

// The lamp and the state follow the answers, not the frames sent: a check that nobody answers
// leaves "ЗАПРОС" with the lamp neutral.
TEST_F(PollingCycleTest, StatusShowsTheRequestThenNormalOnlyWhenAnswered)
{
    configure({0, 1});
    answering = {0};
    using State = std::tuple<std::int64_t, QString, std::optional<Rgb>>;
    std::vector<State> states;
    statusBar.setOnChanged([&] {
        const State state{loop.now(), statusBar.statePanel(), statusBar.linkLamp()};
        if (!statusBar.statePanel().isEmpty()
            && (states.empty() || std::get<1>(states.back()) != std::get<1>(state)
                || std::get<2>(states.back()) != std::get<2>(state)))
            states.push_back(state);
    });
    loop.advance(11 * 800);
    while (framesSent().back()[0] != 1)
        loop.advance(800);
    loop.advance(500);
    // (time, state, lamp) after each change: only the answer of system 0 shows them normal.
    bool answeredShown = false;
    for (const auto& [at, text, lamp] : states) {
        const bool normal = text == QStringLiteral("  СОСТОЯНИЕ: НОРМА");
        if (normal) {
            EXPECT_EQ(lamp, (Rgb{0, 128, 0})) << at;
        }
        answeredShown = answeredShown || normal;
    }
    EXPECT_TRUE(answeredShown);
    EXPECT_EQ(std::get<1>(states.back()), QStringLiteral("  СОСТОЯНИЕ: ЗАПРОС")) << "system 1 is silent";
    EXPECT_EQ(std::get<2>(states.back()), std::nullopt) << "the lamp is not green for a frame nobody answered";
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
    EXPECT_EQ(link.cycle().pollCursor(), 0);
}

} // namespace
} // namespace kirvan::testing
