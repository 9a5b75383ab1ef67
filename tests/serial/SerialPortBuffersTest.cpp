#include "tests/serial/SimulatedPortTest.h"

#include <numeric>

namespace kirvan::testing {
namespace {

using SerialPortBuffersTest = SimulatedPortTest;

std::vector<std::uint8_t> bytes(std::size_t n)
{
    std::vector<std::uint8_t> data(n);
    std::iota(data.begin(), data.end(), std::uint8_t{0});
    return data;
}

TEST_F(SerialPortBuffersTest, WriteBufTakesNoMoreThanTheFreeSpace)
{
    open();
    settle();
    EXPECT_EQ(port.writeBuf(bytes(5000)), 4096);
    EXPECT_EQ(port.outFree(), 0);
    EXPECT_EQ(port.writeBuf(bytes(1)), 0);
    EXPECT_EQ(port.writeByte(1), 0);
}

TEST_F(SerialPortBuffersTest, BytesWrittenReachTheLineInOrderOnTheNextPass)
{
    open();
    settle();
    EXPECT_EQ(port.writeBuf(bytes(300)), 300);
    EXPECT_EQ(port.writeByte(0xFF), 1);
    EXPECT_EQ(port.outFree(), 4096 - 301);
    clock.advance(100);
    serveUntil([&] { return port.outFree() == 4096; });
    auto expected = bytes(300);
    expected.push_back(0xFF);
    EXPECT_EQ(line.sentValues(), expected);
}

TEST_F(SerialPortBuffersTest, ReadBufTakesWhatIsHeldFromTheFront)
{
    recordArrivals(false);
    open();
    receive({1, 2, 3, 4});
    serveUntil([&] { return port.inCount() == 4; });

    std::vector<std::uint8_t> two(2);
    EXPECT_EQ(port.readBuf(two), 2);
    EXPECT_EQ(two, (std::vector<std::uint8_t>{1, 2}));
    EXPECT_EQ(port.inCount(), 2);
    EXPECT_EQ(port.readByte(), 3);

    receive({5, 6, 7});
    serveUntil([&] { return port.inCount() == 4; });
    std::vector<std::uint8_t> ten(10);
    EXPECT_EQ(port.readBuf(ten), 4);
    EXPECT_EQ(std::vector(ten.begin(), ten.begin() + 4), (std::vector<std::uint8_t>{4, 5, 6, 7}));
    EXPECT_EQ(port.inCount(), 0);
    EXPECT_EQ(port.readByte(), 0);
}

TEST_F(SerialPortBuffersTest, ReceiveBufferHoldsAtMostInSizeAndTheRestWaitsInTheDriver)
{
    port.setInSize(16);
    recordArrivals(false);
    open();
    receive(bytes(40));
    serveUntil([&] { return port.inCount() == 16; });
    EXPECT_EQ(line.inQueue(), 24U);

    std::vector<std::uint8_t> all(16);
    EXPECT_EQ(port.readBuf(all), 16);
    EXPECT_EQ(all, bytes(16));
    settle();
    passTime(500);
    EXPECT_EQ(port.inCount(), 16);
    EXPECT_EQ(line.inQueue(), 8U);
}

TEST_F(SerialPortBuffersTest, BufferSizesChangedWhileOpenApplyAtTheNextOpening)
{
    open();
    settle();
    port.setOutSize(8192);
    port.setInSize(4);
    EXPECT_EQ(port.outSize(), 8192);
    EXPECT_EQ(port.outFree(), 4096);
    EXPECT_EQ(port.writeBuf(bytes(5000)), 4096);
    close();
    EXPECT_EQ(port.outFree(), 8192);
    open();
    settle();
    EXPECT_EQ(port.writeBuf(bytes(9000)), 8192);
}

TEST_F(SerialPortBuffersTest, BufferSizesThatCannotBeAllocatedLeaveThePortClosed)
{
    port.setInSize(0);
    port.setOpen(true);
    EXPECT_FALSE(port.isOpen());
    port.setInSize(2048);
    port.setOutSize(-5);
    port.setOpen(true);
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(line.isOpen());
}

} // namespace
} // namespace kirvan::testing
