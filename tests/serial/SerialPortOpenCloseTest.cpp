#include "tests/serial/SimulatedPortTest.h"

#include <algorithm>
#include <stdexcept>
#include <thread>

namespace kirvan::testing {
namespace {

using SerialPortOpenCloseTest = SimulatedPortTest;

TEST_F(SerialPortOpenCloseTest, OpeningStartsTheThreadsInOrderOnce)
{
    port.setComNumber(7);
    open();
    EXPECT_TRUE(port.usable());
    EXPECT_EQ(line.openedNumber(), 7);
    EXPECT_EQ(clock.now(), 100); // the pause after opening
    EXPECT_TRUE(inOrder(clock.journal(),
                        {"open COM7", "set status thread", "select events 1fd", "set read thread", "set write thread"}));

    port.setOpen(true);
    EXPECT_EQ(std::ranges::count(clock.journal(), "open COM7"), 1);
}

TEST_F(SerialPortOpenCloseTest, FailedOpeningLeavesThePortClosed)
{
    line.setRefuseOpening(true);
    port.setOpen(true);
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.usable());

    line.setRefuseOpening(false);
    port.setComNumber(11);
    port.setOpen(true);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(port.writeByte(1), 0);
}

TEST_F(SerialPortOpenCloseTest, ClosingDiscardsBothBuffersAndResetsDtr)
{
    recordArrivals(false);
    open();
    port.setDtr(true);
    receive({1, 2, 3});
    serveUntil([&] { return port.inCount() == 3; });
    settle();
    port.writeBuf(std::vector<std::uint8_t>{4, 5, 6});

    close();
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.dtr());
    EXPECT_EQ(port.inCount(), 0);
    EXPECT_EQ(port.outFree(), 4096);
    EXPECT_TRUE(line.sent().empty());
    EXPECT_FALSE(line.isOpen());
    EXPECT_TRUE(inOrder(clock.journal(), {"purge output", "purge input", "close"}));

    open();
    EXPECT_EQ(port.inCount(), 0);
    settle();
    clock.advance(100);
    settle();
    EXPECT_TRUE(line.sent().empty());
}

TEST_F(SerialPortOpenCloseTest, ClosingStopsWriteThenReadThenStatusThread)
{
    open();
    settle();
    // The write thread is in its pause: closing must wait for it before it wakes the reader.
    std::thread timeKeeper([this] {
        EXPECT_TRUE(clock.awaitEntry("purge input"));
        clock.advance(100);
    });
    port.setOpen(false);
    timeKeeper.join();
    EXPECT_TRUE(inOrder(clock.journal(), {"purge output", "purge input", "set write thread", "set receive",
                                          "set read thread", "select events 0", "set status thread", "close"}));
    EXPECT_FALSE(port.isOpen());
}

TEST_F(SerialPortOpenCloseTest, ClosingAClosedPortChangesNothing)
{
    port.setOpen(false);
    EXPECT_FALSE(port.isOpen());
    EXPECT_TRUE(clock.journal().empty());
}

TEST_F(SerialPortOpenCloseTest, HandlersCannotCloseThePortUnderTheirOwnThread)
{
    std::vector<std::string> errors;
    loop.setErrorHandler([&](const std::exception& error) { errors.emplace_back(error.what()); });
    port.setOnBytesArrived([&](std::uint16_t) { port.setOpen(false); });
    open();
    receive({1});
    serveUntil([&] { return !errors.empty(); });
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(errors.front(), "The serial port cannot be opened or closed from its own handlers");
}

TEST_F(SerialPortOpenCloseTest, DestroyingAnOpenPortClosesIt)
{
    auto own = std::make_unique<SerialPort>(loop, line, clock);
    own->setOpen(true);
    EXPECT_TRUE(line.isOpen());
    clock.setFreeRunning(true);
    own.reset();
    EXPECT_FALSE(line.isOpen());
}

} // namespace
} // namespace kirvan::testing
