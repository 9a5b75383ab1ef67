#include "tests/link/PanelLinkFixture.h"

#include "link/Commands.h"
#include "platform/Timer.h"

namespace kirvan::testing {
namespace {

using TransmitterTest = PanelLinkFixture;
using Sent = FakeLinkPort::Sent;

void passStartup(PanelLink& link)
{
    for (int tick = 0; tick < PollingCycle::startupTicks; ++tick)
        link.cycle().pollTick();
}

// A poll's frame; two operator commands arrive while it waits for its body.
void sendPollWithTwoOperatorCommands(PanelLink& link, MessageLoop& loop)
{
    auto operatorCommands = loop.createTimer();
    operatorCommands->setInterval(100);
    operatorCommands->setOnTimer([&] {
        operatorCommands->setEnabled(false);
        link.sendFrame(1, command::arm, 2, 4);
        link.sendFrame(3, command::disarm, 1, 0);
    });
    operatorCommands->setEnabled(true);
    link.sendFrame(0, command::linkCheck, 0, 0);
}

TEST_F(TransmitterTest, AddressByteWithMarkParityThenTheBodyWithSpaceParity200msLater)
{
    passStartup(link);
    link.sendFrame(2, command::arm, 0x05, 0x03);
    EXPECT_EQ(port.sent, (std::vector<Sent>{{0x02, Parity::mark, 0},
                                            {0x20, Parity::space, 200},
                                            {0x9E, Parity::space, 200},
                                            {0x05, Parity::space, 200},
                                            {0x03, Parity::space, 200},
                                            {0x00, Parity::space, 200},
                                            {0x37, Parity::space, 200}}));
    EXPECT_EQ(port.parity, Parity::space) << "the port stays at space parity after a frame";
    EXPECT_EQ(loop.now(), 200);
}

TEST_F(TransmitterTest, BeforeTheStartupTicksTheMarkerIs0x21)
{
    link.sendFrame(2, command::arm, 0x05, 0x03);
    EXPECT_EQ(port.sentBytes(), (std::vector<std::uint8_t>{0x02, 0x21, 0x9E, 0x05, 0x03, 0x00, 0x36}));
}

TEST_F(TransmitterTest, TooLittleRoomSendsTheAddressAloneAndNoRoomNothing)
{
    port.freeSpace = 6;
    link.sendFrame(1, 0, 0, 0);
    EXPECT_EQ(port.sentBytes(), std::vector<std::uint8_t>{0x01});
    port.sent.clear();
    port.freeSpace = 0;
    link.sendFrame(1, 0, 0, 0);
    EXPECT_TRUE(port.sent.empty());
    EXPECT_EQ(loop.now(), 400) << "the pause is kept all the same";
}

// Green comes from an answer only (the receiver's); a frame sent leaves the lamp neutral.
TEST_F(TransmitterTest, LinkLampIsNeutralWhileSendingAndStaysSoWithoutAnAnswer)
{
    statusBar.setLinkLamp(Rgb{0, 128, 0});
    std::vector<std::optional<Rgb>> lamps;
    port.onWritten = [&](std::uint8_t) { lamps.push_back(statusBar.linkLamp()); };
    link.sendFrame(1, 0, 0, 0);
    EXPECT_EQ(lamps.front(), std::nullopt);
    loop.advance(1000);
    EXPECT_EQ(statusBar.linkLamp(), std::nullopt);
    EXPECT_NE(statusBar.statePanel(), QStringLiteral("  СОСТОЯНИЕ: НОРМА"));
}

TEST_F(TransmitterTest, SendAskedDuringAnotherFramesPauseIsHeldBackAndFollowsIt)
{
    passStartup(link);
    sendPollWithTwoOperatorCommands(link, loop);

    const auto frames = framesSent();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0][0], 0);
    EXPECT_EQ(frames[1], frameBytes(0x01, 0x20, command::arm, 2, 4));
    EXPECT_EQ(frames[2], frameBytes(0x03, 0x20, command::disarm, 1, 0));
    // Every frame keeps its own pause and its own parities.
    for (std::size_t f = 0; f < 3; ++f) {
        const Sent& address = port.sent[f * 7];
        EXPECT_EQ(address.parity, Parity::mark);
        for (std::size_t i = 1; i < 7; ++i) {
            EXPECT_EQ(port.sent[f * 7 + i].parity, Parity::space);
            EXPECT_EQ(port.sent[f * 7 + i].at, address.at + 200);
        }
    }
    EXPECT_FALSE(link.transmitter().sending());
}

// Every byte must reach the line with its own frame's parity: the address byte with mark, the
// body with space. The line here runs at a panel line's pace, the port's write thread takes bytes
// every 100 ms, and CTS may hold the line.
class LineParityTest : public TransmitterTest {
protected:
    LineParityTest()
    {
        port.linePace = FakeLinkPort::panelLine;
        passStartup(link);
    }
    // Lets the line send what waits, then checks every frame sent so far.
    void expectEveryFrameWithItsOwnParities(std::size_t frames)
    {
        loop.advance(1000);
        ASSERT_TRUE(port.allSent());
        ASSERT_EQ(port.sent.size(), frames * 7);
        for (std::size_t i = 0; i < port.sent.size(); ++i)
            EXPECT_EQ(port.sent[i].parity, i % 7 == 0 ? Parity::mark : Parity::space) << "byte " << i;
    }
};

TEST_F(LineParityTest, HeldBackAndBackToBackFramesKeepTheirParities)
{
    sendPollWithTwoOperatorCommands(link, loop);
    link.sendFrame(2, command::arm, 5, 3);
    expectEveryFrameWithItsOwnParities(4);
    EXPECT_EQ(framesSent()[3], frameBytes(0x02, 0x20, command::arm, 5, 3));
}

TEST_F(LineParityTest, AnAddressByteHeldByCtsLeavesWithMarkAndTheBodyFollows200msLater)
{
    port.holdLine(true);
    auto release = loop.createTimer();
    release->setInterval(500);
    release->setOnTimer([&] {
        release->setEnabled(false);
        port.holdLine(false);
    });
    release->setEnabled(true);
    link.sendFrame(2, command::arm, 5, 3);
    expectEveryFrameWithItsOwnParities(1);
    EXPECT_GE(port.sent[1].at, 500 + 200) << "the pause runs from the address byte leaving";
}

// The program is asked to stop while the line is held: the wait for it ends at once, and the
// frame ends without a byte of the wrong parity.
TEST_F(LineParityTest, AStopEndsTheWaitForAHeldLine)
{
    port.holdLine(true);
    auto stop = loop.createTimer();
    stop->setInterval(300);
    stop->setOnTimer([&] {
        stop->setEnabled(false);
        loop.requestStop();
    });
    stop->setEnabled(true);
    link.sendFrame(2, command::arm, 5, 3);
    EXPECT_EQ(loop.now(), 300);
    port.holdLine(false);
    loop.advance(1000);
    ASSERT_EQ(port.sent.size(), 1u);
    EXPECT_EQ(port.sent[0], (Sent{0x02, Parity::mark, 0}));
}

TEST_F(LineParityTest, ALineHeldTooLongCostsTheFrameButNoByteGoesWithTheWrongParity)
{
    port.holdLine(true);
    link.sendFrame(2, command::arm, 5, 3);
    EXPECT_GE(loop.now(), Transmitter::heldLimitMs);
    EXPECT_TRUE(port.sent.empty());
    port.holdLine(false);
    link.sendFrame(1, command::linkCheck, 0, 0);
    loop.advance(1000);
    ASSERT_TRUE(port.allSent());
    // The held address byte alone, then the next frame whole.
    ASSERT_EQ(port.sent.size(), 8u);
    EXPECT_EQ(port.sent[0], (Sent{0x02, Parity::mark, 0}));
    for (std::size_t i = 1; i < 8; ++i)
        EXPECT_EQ(port.sent[i].parity, i == 1 ? Parity::mark : Parity::space) << "byte " << i;
}

} // namespace
} // namespace kirvan::testing
