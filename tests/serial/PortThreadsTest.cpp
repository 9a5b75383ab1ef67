#include "tests/serial/SimulatedPortTest.h"

#include <algorithm>

namespace kirvan::testing {
namespace {

using PortThreadsTest = SimulatedPortTest;

TEST_F(PortThreadsTest, SevenBytesTogetherGiveOneNotificationOnTheMainThread)
{
    recordArrivals(true);
    open();
    receive({1, 2, 3, 4, 5, 6, 7});
    serveUntil([&] { return received.size() == 7; });
    ASSERT_EQ(notices.size(), 1U);
    EXPECT_EQ(notices[0].count, 7);
    EXPECT_TRUE(notices[0].onMainThread);
    settle();
    passTime(500);
    passTime(500);
    EXPECT_EQ(notices.size(), 1U);
}

TEST_F(PortThreadsTest, BytesLeftInTheBufferAreReportedAgainEvery500ms)
{
    recordArrivals(false);
    open();
    receive({1, 2, 3});
    serveUntil([&] { return !notices.empty(); });
    settle();
    // The reader's wait began within the last 500 ms, so this pass falls due.
    passTime(500);
    ASSERT_EQ(notices.back().at, clock.now());
    for (int pass = 0; pass < 3; ++pass) {
        const std::size_t before = notices.size();
        passTime(499);
        EXPECT_EQ(notices.size(), before);
        passTime(1);
        ASSERT_EQ(notices.size(), before + 1);
        EXPECT_EQ(notices.back().count, 3);
        EXPECT_EQ(notices.back().at - notices[before - 1].at, 500);
    }
}

TEST_F(PortThreadsTest, ALineEventBringsTheNotificationAtOnce)
{
    recordArrivals(false);
    open();
    receive({1, 2, 3});
    serveUntil([&] { return !notices.empty(); });
    settle();
    const std::size_t before = notices.size();
    const std::int64_t now = clock.now();
    line.setCts(false);
    serveUntil([&] { return notices.size() > before && !port.cts(); });
    EXPECT_EQ(notices.back().at, now);
    EXPECT_EQ(notices.back().count, 3);
}

TEST_F(PortThreadsTest, OutputWaitsWhileCtsIsOff)
{
    open();
    settle();
    line.setCts(false);
    serveUntil([&] { return !port.cts(); });
    settle();
    port.writeBuf(std::vector<std::uint8_t>{1, 2, 3});
    for (int pass = 0; pass < 5; ++pass) {
        clock.advance(100);
        settle();
    }
    EXPECT_TRUE(line.sent().empty());
    EXPECT_EQ(port.outFree(), 4093);
    EXPECT_FALSE(port.allSent()) << "held bytes have not left: a parity change must wait";

    line.setCts(true);
    serveUntil([&] { return port.cts(); });
    const std::int64_t on = clock.now();
    settle();
    clock.advance(100);
    serveUntil([&] { return line.sent().size() == 3; });
    EXPECT_LE(line.sent().front().at - on, 200);
    EXPECT_EQ(port.outFree(), 4096);
    EXPECT_TRUE(port.allSent());
}

TEST_F(PortThreadsTest, FailedTransfersAreTriedAgainOnTheNextPass)
{
    recordArrivals(true);
    open();
    settle();
    line.failNextWrite();
    port.writeBuf(std::vector<std::uint8_t>{9, 8});
    clock.advance(100);
    awaitWritePause();
    EXPECT_TRUE(line.sent().empty());
    clock.advance(100);
    serveUntil([&] { return line.sent().size() == 2; });

    settle();
    line.failNextRead();
    line.receive({5});
    settle();
    EXPECT_TRUE(received.empty());
    passTime(500);
    EXPECT_EQ(received, (std::vector<std::uint8_t>{5}));
}

TEST_F(PortThreadsTest, AVanishedDeviceStopsTheThreadsAndIsReportedOnce)
{
    int lost = 0;
    port.setOnLineLost([&] { ++lost; });
    open();
    settle();
    line.vanish();
    serveUntil([&] { return lost == 1; });
    EXPECT_TRUE(port.isOpen());
    EXPECT_FALSE(port.usable());
    EXPECT_EQ(port.writeByte(1), 0);
    clock.advance(100);
    // Each thread sets its start/stop signal when it starts and again when it ends.
    serveUntil([&] {
        const auto journal = clock.journal();
        return std::ranges::all_of(
            std::vector<std::string>{"status thread", "read thread", "write thread"},
            [&](const std::string& thread) { return std::ranges::count(journal, "set " + thread) == 2; });
    });
    EXPECT_EQ(lost, 1);

    close();
    EXPECT_FALSE(port.isOpen());
    open();
    EXPECT_TRUE(port.usable());
}

} // namespace
} // namespace kirvan::testing
