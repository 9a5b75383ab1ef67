#include "serial/PanelLineSettings.h"
#include "tests/serial/SimulatedPortTest.h"

namespace kirvan::testing {
namespace {

using SerialPortPropertiesTest = SimulatedPortTest;

TEST_F(SerialPortPropertiesTest, NewPortHasTheDefaults)
{
    EXPECT_EQ(port.comNumber(), 2);
    EXPECT_EQ(port.baudRate(), BaudRate::bps19200);
    EXPECT_EQ(port.baud(), 19200);
    EXPECT_EQ(port.parity(), Parity::none);
    EXPECT_EQ(port.stopBits(), StopBits::one);
    EXPECT_EQ(port.dataBits(), 8);
    EXPECT_EQ(port.inSize(), 2048);
    EXPECT_EQ(port.outSize(), 4096);
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.usable());
    EXPECT_FALSE(port.dtr());
    EXPECT_FALSE(port.rts());
    EXPECT_FALSE(port.cts());
    EXPECT_EQ(port.inCount(), 0);
    EXPECT_EQ(port.outFree(), 4096);
}

TEST_F(SerialPortPropertiesTest, TheSerialPortIsConfiguredForThePanelLine)
{
    configurePanelLine(port);
    EXPECT_EQ(port.comNumber(), 2);
    EXPECT_EQ(port.baudRate(), BaudRate::bps4800);
    EXPECT_EQ(port.parity(), Parity::mark);
    EXPECT_EQ(port.stopBits(), StopBits::one);
    EXPECT_EQ(port.dataBits(), 8);
    EXPECT_EQ(port.inSize(), 2048);
    EXPECT_EQ(port.outSize(), 4096);
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(port.dtr());
    EXPECT_TRUE(port.rts());
    EXPECT_FALSE(line.isOpen());

    open();
    EXPECT_EQ(line.openedNumber(), 2);
    EXPECT_EQ(line.settings(), (LineSettings{4800, Parity::mark, StopBits::one, 8, true, true}));
}

TEST_F(SerialPortPropertiesTest, BaudSelectsOnlyListedSpeeds)
{
    port.setBaud(4800);
    EXPECT_EQ(port.baudRate(), BaudRate::bps4800);
    port.setBaud(4801);
    EXPECT_EQ(port.baudRate(), BaudRate::bps4800);
    EXPECT_EQ(port.baud(), 4800);
    for (int rate = 0; rate <= static_cast<int>(BaudRate::bps256000); ++rate) {
        const auto baudRate = static_cast<BaudRate>(rate);
        port.setBaud(baudOf(baudRate));
        EXPECT_EQ(port.baudRate(), baudRate);
    }
    EXPECT_EQ(port.baud(), 256000);
}

TEST_F(SerialPortPropertiesTest, SettingsWhileClosedAreOnlyStoredAndAppliedWhenOpening)
{
    port.setParity(Parity::mark);
    port.setStopBits(StopBits::two);
    port.setDataBits(7);
    port.setBaudRate(BaudRate::bps9600);
    EXPECT_EQ(line.settings(), LineSettings{});
    open();
    EXPECT_EQ(line.settings(), (LineSettings{9600, Parity::mark, StopBits::two, 7, true, true}));
}

TEST_F(SerialPortPropertiesTest, SettingsWhileOpenReachTheLineAtOnce)
{
    open();
    port.setParity(Parity::space);
    EXPECT_EQ(line.settings().parity, Parity::space);
    port.setStopBits(StopBits::oneAndHalf);
    EXPECT_EQ(line.settings().stopBits, StopBits::oneAndHalf);
    port.setDataBits(7);
    EXPECT_EQ(line.settings().dataBits, 7);
    port.setBaud(115200);
    EXPECT_EQ(line.settings().baud, 115200);
    // Every other field stays as it was.
    EXPECT_EQ(line.settings(), (LineSettings{115200, Parity::space, StopBits::oneAndHalf, 7, true, true}));
}

TEST_F(SerialPortPropertiesTest, ParityChangesBetweenTwoBytes)
{
    open();
    settle();
    port.setParity(Parity::mark);
    port.writeByte(0x81);
    clock.advance(100);
    serveUntil([&] { return line.sent().size() == 1; });
    awaitWritePause();
    port.setParity(Parity::space);
    port.writeBuf(std::vector<std::uint8_t>{0x10, 0x20});
    clock.advance(100);
    serveUntil([&] { return line.sent().size() == 3; });
    const auto sent = line.sent();
    EXPECT_EQ(sent[0].parity, Parity::mark);
    EXPECT_EQ(sent[1].parity, Parity::space);
    EXPECT_EQ(sent[2].parity, Parity::space);
    EXPECT_EQ(line.sentValues(), (std::vector<std::uint8_t>{0x81, 0x10, 0x20}));
    EXPECT_LT(sent[0].at, sent[1].at);
}

TEST_F(SerialPortPropertiesTest, ClosedPortQueuesAndHoldsNothing)
{
    const std::vector<std::uint8_t> data{1, 2, 3};
    EXPECT_EQ(port.writeBuf(data), 0);
    EXPECT_EQ(port.writeByte(9), 0);
    std::vector<std::uint8_t> into(4);
    EXPECT_EQ(port.readBuf(into), 0);
    EXPECT_EQ(port.readByte(), 0);
    EXPECT_EQ(port.inCount(), 0);
    EXPECT_EQ(port.outFree(), 4096);
}

TEST_F(SerialPortPropertiesTest, DtrAndRtsDriveTheLinesOnlyWhileOpen)
{
    port.setDtr(true);
    port.setRts(true);
    EXPECT_FALSE(line.dtr());

    open();
    port.setDtr(true);
    port.setRts(true);
    EXPECT_TRUE(line.dtr());
    EXPECT_TRUE(line.rts());
    port.setDtr(false);
    port.setRts(false);
    EXPECT_FALSE(line.dtr());
    EXPECT_FALSE(line.rts());
}

} // namespace
} // namespace kirvan::testing
