#include "CommPort/CommPort1.h"
#include "tests/commport/SimulatedPortTest.h"

namespace kirvan::testing {
namespace {

using CommPortPropertiesTest = SimulatedPortTest;

TEST_F(CommPortPropertiesTest, NewPortHasTheDefaults)
{
    EXPECT_EQ(port.ComNumber(), 2);
    EXPECT_EQ(port.BaudRate(), cbr19200);
    EXPECT_EQ(port.Baud(), 19200);
    EXPECT_EQ(port.Parity(), paNone);
    EXPECT_EQ(port.Stopbits(), sb1_0);
    EXPECT_EQ(port.Databits(), 8);
    EXPECT_EQ(port.MonitorEvents(), allEvents);
    EXPECT_EQ(port.InSize(), 2048);
    EXPECT_EQ(port.OutSize(), 4096);
    EXPECT_FALSE(port.Open());
    EXPECT_FALSE(port.Usable());
    EXPECT_FALSE(port.DTR());
    EXPECT_FALSE(port.RTS());
    EXPECT_FALSE(port.CTS());
    EXPECT_EQ(port.InCount(), 0);
    EXPECT_EQ(port.OutFree(), 4096);
}

TEST_F(CommPortPropertiesTest, CommPort1IsConfiguredForThePanelLine)
{
    int arrivals = 0;
    configureCommPort1(port, [&](TCustomCommPort&, std::uint16_t) { ++arrivals; });
    EXPECT_EQ(port.ComNumber(), 2);
    EXPECT_EQ(port.BaudRate(), cbr4800);
    EXPECT_EQ(port.Parity(), paMark);
    EXPECT_EQ(port.Stopbits(), sb1_0);
    EXPECT_EQ(port.Databits(), 8);
    EXPECT_EQ(port.InSize(), 2048);
    EXPECT_EQ(port.OutSize(), 4096);
    EXPECT_FALSE(port.Open());
    EXPECT_TRUE(port.DTR());
    EXPECT_TRUE(port.RTS());
    EXPECT_EQ(port.MonitorEvents(), allEvents);
    EXPECT_FALSE(line.isOpen());

    open();
    EXPECT_EQ(line.openedNumber(), 2);
    EXPECT_EQ(line.settings(), (LineSettings{4800, paMark, sb1_0, 8, true, true}));
    receive({0x7E});
    serveUntil([&] { return arrivals > 0; });
}

TEST_F(CommPortPropertiesTest, BaudSelectsOnlyListedSpeeds)
{
    port.setBaud(4800);
    EXPECT_EQ(port.BaudRate(), cbr4800);
    port.setBaud(4801);
    EXPECT_EQ(port.BaudRate(), cbr4800);
    EXPECT_EQ(port.Baud(), 4800);
    for (int rate = cbr110; rate <= cbr256000; ++rate) {
        const auto baudRate = static_cast<TBaudRate>(rate);
        port.setBaud(baudOf(baudRate));
        EXPECT_EQ(port.BaudRate(), baudRate);
    }
    EXPECT_EQ(port.Baud(), 256000);
}

TEST_F(CommPortPropertiesTest, SettingsWhileClosedAreOnlyStoredAndAppliedWhenOpening)
{
    port.setParity(paMark);
    port.setStopbits(sb2_0);
    port.setDatabits(7);
    port.setBaudRate(cbr9600);
    EXPECT_EQ(line.settings(), LineSettings{});
    open();
    EXPECT_EQ(line.settings(), (LineSettings{9600, paMark, sb2_0, 7, true, true}));
}

TEST_F(CommPortPropertiesTest, SettingsWhileOpenReachTheLineAtOnce)
{
    open();
    port.setParity(paSpace);
    EXPECT_EQ(line.settings().parity, paSpace);
    port.setStopbits(sb1_5);
    EXPECT_EQ(line.settings().stopbits, sb1_5);
    port.setDatabits(7);
    EXPECT_EQ(line.settings().databits, 7);
    port.setBaud(115200);
    EXPECT_EQ(line.settings().baud, 115200);
    // Every other field stays as it was.
    EXPECT_EQ(line.settings(), (LineSettings{115200, paSpace, sb1_5, 7, true, true}));
}

TEST_F(CommPortPropertiesTest, ParityChangesBetweenTwoBytes)
{
    open();
    settle();
    port.setParity(paMark);
    port.WriteByte(0x81);
    clock.advance(100);
    serveUntil([&] { return line.sent().size() == 1; });
    awaitWritePause();
    port.setParity(paSpace);
    port.WriteBuf(std::vector<std::uint8_t>{0x10, 0x20});
    clock.advance(100);
    serveUntil([&] { return line.sent().size() == 3; });
    const auto sent = line.sent();
    EXPECT_EQ(sent[0].parity, paMark);
    EXPECT_EQ(sent[1].parity, paSpace);
    EXPECT_EQ(sent[2].parity, paSpace);
    EXPECT_EQ(line.sentValues(), (std::vector<std::uint8_t>{0x81, 0x10, 0x20}));
    EXPECT_LT(sent[0].at, sent[1].at);
}

TEST_F(CommPortPropertiesTest, ClosedPortQueuesAndHoldsNothing)
{
    const std::vector<std::uint8_t> data{1, 2, 3};
    EXPECT_EQ(port.WriteBuf(data), 0);
    EXPECT_EQ(port.WriteByte(9), 0);
    std::vector<std::uint8_t> into(4);
    EXPECT_EQ(port.ReadBuf(into), 0);
    EXPECT_EQ(port.ReadByte(), 0);
    EXPECT_EQ(port.InCount(), 0);
    EXPECT_EQ(port.OutFree(), 4096);
}

TEST_F(CommPortPropertiesTest, DtrAndRtsDriveTheLinesOnlyWhileOpen)
{
    int dtrSignals = 0;
    port.setOnDTRSignal([&](TCustomCommPort&) { ++dtrSignals; });
    port.setDTR(true);
    port.setRTS(true);
    EXPECT_FALSE(line.dtr());
    EXPECT_EQ(dtrSignals, 0);

    open();
    port.setDTR(true);
    port.setRTS(true);
    EXPECT_TRUE(line.dtr());
    EXPECT_TRUE(line.rts());
    EXPECT_EQ(dtrSignals, 1);
    port.setDTR(false);
    port.setRTS(false);
    EXPECT_FALSE(line.dtr());
    EXPECT_FALSE(line.rts());
    EXPECT_EQ(dtrSignals, 2);
}

} // namespace
} // namespace kirvan::testing
