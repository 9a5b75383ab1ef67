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
        link.cycle().Timer4Timer();
}

TEST_F(TransmitterTest, AddressByteWithMarkParityThenTheBodyWithSpaceParity200msLater)
{
    passStartup(link);
    link.SendFrame(2, command::arm, 0x05, 0x03);
    EXPECT_EQ(port.sent, (std::vector<Sent>{{0x02, paMark, 0},
                                            {0x20, paSpace, 200},
                                            {0x9E, paSpace, 200},
                                            {0x05, paSpace, 200},
                                            {0x03, paSpace, 200},
                                            {0x00, paSpace, 200},
                                            {0x37, paSpace, 200}}));
    EXPECT_EQ(port.parity, paSpace) << "the port stays at space parity after a frame";
    EXPECT_EQ(loop.now(), 200);
}

TEST_F(TransmitterTest, BeforeTheStartupTicksTheMarkerIs0x21)
{
    link.SendFrame(2, command::arm, 0x05, 0x03);
    EXPECT_EQ(port.sentBytes(), (std::vector<std::uint8_t>{0x02, 0x21, 0x9E, 0x05, 0x03, 0x00, 0x36}));
}

TEST_F(TransmitterTest, TooLittleRoomSendsTheAddressAloneAndNoRoomNothing)
{
    port.outFree = 6;
    link.SendFrame(1, 0, 0, 0);
    EXPECT_EQ(port.sentBytes(), std::vector<std::uint8_t>{0x01});
    port.sent.clear();
    port.outFree = 0;
    link.SendFrame(1, 0, 0, 0);
    EXPECT_TRUE(port.sent.empty());
    EXPECT_EQ(loop.now(), 400) << "the pause is kept all the same";
}

TEST_F(TransmitterTest, LinkLampIsNeutralWhileSendingAndGreenAfter)
{
    std::vector<std::optional<Rgb>> lamps;
    port.onWritten = [&](std::uint8_t) { lamps.push_back(statusBar.Shape2()); };
    link.SendFrame(1, 0, 0, 0);
    EXPECT_EQ(lamps.front(), std::nullopt);
    EXPECT_EQ(statusBar.Shape2(), (Rgb{0, 128, 0}));
    EXPECT_EQ(statusBar.Panel15(), QStringLiteral("  СОСТОЯНИЕ: НОРМА"));
}

TEST_F(TransmitterTest, SendAskedDuringAnotherFramesPauseIsHeldBackAndFollowsIt)
{
    passStartup(link);
    // Two operator commands arrive while the poll's frame waits for its body.
    auto operatorCommands = loop.createTimer();
    operatorCommands->setInterval(100);
    operatorCommands->setOnTimer([&] {
        operatorCommands->setEnabled(false);
        link.SendFrame(1, command::arm, 2, 4);
        link.SendFrame(3, command::disarm, 1, 0);
    });
    operatorCommands->setEnabled(true);
    link.SendFrame(0, command::linkCheck, 0, 0);

    const auto frames = framesSent();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0][0], 0);
    EXPECT_EQ(frames[1], frameBytes(0x01, 0x20, command::arm, 2, 4));
    EXPECT_EQ(frames[2], frameBytes(0x03, 0x20, command::disarm, 1, 0));
    // Every frame keeps its own pause and its own parities.
    for (std::size_t f = 0; f < 3; ++f) {
        const Sent& address = port.sent[f * 7];
        EXPECT_EQ(address.parity, paMark);
        for (std::size_t i = 1; i < 7; ++i) {
            EXPECT_EQ(port.sent[f * 7 + i].parity, paSpace);
            EXPECT_EQ(port.sent[f * 7 + i].at, address.at + 200);
        }
    }
    EXPECT_FALSE(link.transmitter().sending());
}

} // namespace
} // namespace kirvan::testing
