#include "serial/PanelLineSettings.h"
#include "tests/serial/SimulatedPortTest.h"

namespace kirvan::testing {
namespace {

using SerialPortPropertiesTest = SimulatedPortTest;

TEST_F(SerialPortPropertiesTest, NewPortHasTheDefaults)
{
    EXPECT_EQ(port.comNumber(), 2);
    EXPECT_EQ(port.baudRate(), cbr19200);
    EXPECT_EQ(port.baud(), 19200);
    EXPECT_EQ(port.parity(), paNone);
    EXPECT_EQ(port.stopBits(), sb1_0);
    EXPECT_EQ(port.dataBits(), 8);
    EXPECT_EQ(port.monitorEvents(), allEvents);
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
    int arrivals = 0;
    configurePanelLine(port, [&](SerialPort&, std::uint16_t) { ++arrivals; });
    EXPECT_EQ(port.comNumber(), 2);
    EXPECT_EQ(port.baudRate(), cbr4800);
    EXPECT_EQ(port.parity(), paMark);
    EXPECT_EQ(port.stopBits(), sb1_0);
    EXPECT_EQ(port.dataBits(), 8);
    EXPECT_EQ(port.inSize(), 2048);
    EXPECT_EQ(port.outSize(), 4096);
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(port.dtr());
    EXPECT_TRUE(port.rts());
    EXPECT_EQ(port.monitorEvents(), allEvents);
    EXPECT_FALSE(line.isOpen());

    open();
    EXPECT_EQ(line.openedNumber(), 2);
    EXPECT_EQ(line.settings(), (LineSettings{4800, paMark, sb1_0, 8, true, true}));
    receive({0x7E});
    serveUntil([&] { return arrivals > 0; });
}

TEST_F(SerialPortPropertiesTest, BaudSelectsOnlyListedSpeeds)
{
    port.setBaud(4800);
    EXPECT_EQ(port.baudRate(), cbr4800);
    port.setBaud(4801);
    EXPECT_EQ(port.baudRate(), cbr4800);
    EXPECT_EQ(port.baud(), 4800);
    for (int rate = cbr110; rate <= cbr256000; ++rate) {
        const auto baudRate = static_cast<BaudRate>(rate);
        port.setBaud(baudOf(baudRate));
        EXPECT_EQ(port.baudRate(), baudRate);
    }
    EXPECT_EQ(port.baud(), 256000);
}

TEST_F(SerialPortPropertiesTest, SettingsWhileClosedAreOnlyStoredAndAppliedWhenOpening)
{
    port.setParity(paMark);
    port.setStopBits(sb2_0);
    port.setDataBits(7);
    port.setBaudRate(cbr9600);
    EXPECT_EQ(line.settings(), LineSettings{});
    open();
    EXPECT_EQ(line.settings(), (LineSettings{9600, paMark, sb2_0, 7, true, true}));
}

TEST_F(SerialPortPropertiesTest, SettingsWhileOpenReachTheLineAtOnce)
{
    open();
    port.setParity(paSpace);
    EXPECT_EQ(line.settings().parity, paSpace);
    port.setStopBits(sb1_5);
    EXPECT_EQ(line.settings().stopbits, sb1_5);
    port.setDataBits(7);
    EXPECT_EQ(line.settings().databits, 7);
    port.setBaud(115200);
    EXPECT_EQ(line.settings().baud, 115200);
    // Every other field stays as it was.
    EXPECT_EQ(line.settings(), (LineSettings{115200, paSpace, sb1_5, 7, true, true}));
}

TEST_F(SerialPortPropertiesTest, ParityChangesBetweenTwoBytes)
{
    open();
    settle();
    port.setParity(paMark);
    port.writeByte(0x81);
    clock.advance(100);
    serveUntil([&] { return line.sent().size() == 1; });
    awaitWritePause();
    port.setParity(paSpace);
    port.writeBuf(std::vector<std::uint8_t>{0x10, 0x20});
    clock.advance(100);
    serveUntil([&] { return line.sent().size() == 3; });
    const auto sent = line.sent();
    EXPECT_EQ(sent[0].parity, paMark);
    EXPECT_EQ(sent[1].parity, paSpace);
    EXPECT_EQ(sent[2].parity, paSpace);
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
    int dtrSignals = 0;
    port.setOnDTRSignal([&](SerialPort&) { ++dtrSignals; });
    port.setDtr(true);
    port.setRts(true);
    EXPECT_FALSE(line.dtr());
    EXPECT_EQ(dtrSignals, 0);

    open();
    port.setDtr(true);
    port.setRts(true);
    EXPECT_TRUE(line.dtr());
    EXPECT_TRUE(line.rts());
    EXPECT_EQ(dtrSignals, 1);
    port.setDtr(false);
    port.setRts(false);
    EXPECT_FALSE(line.dtr());
    EXPECT_FALSE(line.rts());
    EXPECT_EQ(dtrSignals, 2);
}

} // namespace
} // namespace kirvan::testing
