#include "link/DelayTimer.h"

#include "platform/QtMessageLoop.h"
#include "tests/support/VirtualMessageLoop.h"

#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

namespace kirvan {
namespace {

struct Event {
    std::string what;
    std::int64_t at;
    bool operator==(const Event&) const = default;
};

class DelayTimerTest : public ::testing::Test {
protected:
    // A handler that runs once, `after` ms from now, inside whatever wait is active then.
    std::unique_ptr<Timer> once(int after, std::function<void()> body)
    {
        auto timer = loop.createTimer();
        timer->setInterval(after);
        timer->setOnTimer([t = timer.get(), body = std::move(body)] {
            t->setEnabled(false);
            body();
        });
        timer->setEnabled(true);
        return timer;
    }

    void delay(const std::string& name, int ms)
    {
        events.push_back({name + " starts", loop.now()});
        timer1.delay(ms);
        events.push_back({name + " ends", loop.now()});
    }

    testing::VirtualMessageLoop loop;
    DelayTimer timer1{loop};
    std::vector<Event> events;
};

TEST_F(DelayTimerTest, DelayWaitsItsTimeAndSetsDelayDone)
{
    int expiries = 0;
    timer1.setOnExpiry([&] { ++expiries; });
    delay("frame", 200);
    EXPECT_EQ(events.back(), (Event{"frame ends", 200}));
    EXPECT_TRUE(timer1.delayDone());
    EXPECT_FALSE(timer1.sendPauseTimer().enabled());
    EXPECT_EQ(expiries, 1);
}

TEST_F(DelayTimerTest, ShorterDelayNestedInALongerOneEndsFirstAndDoesNotCutTheOuterShort)
{
    auto inner = once(100, [&] { delay("frame", 200); });
    delay("load", 500);
    EXPECT_EQ(events,
              (std::vector<Event>{{"load starts", 0}, {"frame starts", 100}, {"frame ends", 300}, {"load ends", 500}}));
}

TEST_F(DelayTimerTest, LongerDelayNestedInAShorterOneKeepsItsOwnTime)
{
    auto inner = once(100, [&] { delay("load", 500); });
    delay("frame", 200);
    // The frame's wait is on the stack under the load's and resumes when that returns.
    EXPECT_EQ(events,
              (std::vector<Event>{{"frame starts", 0}, {"load starts", 100}, {"load ends", 600}, {"frame ends", 600}}));
}

TEST_F(DelayTimerTest, DelayInsideAHandlerInsideAnotherDelayInsideAHandler)
{
    auto third = std::unique_ptr<Timer>();
    auto second = std::unique_ptr<Timer>();
    auto first = once(50, [&] {
        second = once(50, [&] {
            third = once(50, [&] { delay("c", 100); });
            delay("b", 300);
        });
        delay("a", 200);
    });
    loop.advance(1000);
    EXPECT_EQ(events, (std::vector<Event>{{"a starts", 50},
                                          {"b starts", 100},
                                          {"c starts", 150},
                                          {"c ends", 250},
                                          {"b ends", 400},
                                          {"a ends", 400}}));
    EXPECT_FALSE(timer1.sendPauseTimer().enabled());
}

TEST_F(DelayTimerTest, WorkerHandOverIsServedInsideANestedDelay)
{
    std::thread worker;
    auto handler = once(100, [&] {
        worker = std::thread([&] { loop.synchronize([&] { events.push_back({"frame received", loop.now()}); }); });
        while (loop.pendingRoutines() == 0)
            std::this_thread::yield();
        delay("frame", 200);
    });
    delay("load", 500);
    worker.join();
    EXPECT_EQ(events, (std::vector<Event>{{"load starts", 0},
                                          {"frame starts", 100},
                                          {"frame received", 100},
                                          {"frame ends", 300},
                                          {"load ends", 500}}));
}

TEST_F(DelayTimerTest, WhatFollowsTheNextExpiryRunsAtTheEndOfAnotherOperationsDelayOnce)
{
    auto sender = once(800, [&] { delay("frame", 200); });
    auto secondSender = once(1500, [&] { delay("frame", 200); });
    std::vector<std::int64_t> ran;
    timer1.afterNextExpiry([&] {
        ran.push_back(loop.now());
        // Asked for at an expiry: it waits for the one after.
        timer1.afterNextExpiry([&] { ran.push_back(loop.now()); });
    });
    loop.advance(3000);
    EXPECT_EQ(ran, (std::vector<std::int64_t>{1000, 1700}));
}

// A stop ends the delays under way at once, the nested and the outer one; a delay begun after it
// (in the close itself) waits its time.
TEST_F(DelayTimerTest, AStopEndsEveryDelayUnderWay)
{
    auto inner = once(100, [&] {
        auto stop = once(50, [&] { loop.requestStop(); });
        delay("frame", 200);
    });
    delay("load", 500);
    delay("close", 200);
    EXPECT_EQ(events, (std::vector<Event>{{"load starts", 0},
                                          {"frame starts", 100},
                                          {"frame ends", 150},
                                          {"load ends", 150},
                                          {"close starts", 150},
                                          {"close ends", 350}}));
}

TEST(DelayTimerOnQtTest, DelayWaitsItsTimeOnTheRealLoop)
{
    QtMessageLoop loop;
    DelayTimer timer1(loop);
    const auto start = loop.now();
    timer1.delay(20);
    EXPECT_GE(loop.now() - start, 20);
    EXPECT_TRUE(timer1.delayDone());
}

} // namespace
} // namespace kirvan
