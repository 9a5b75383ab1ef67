#include "tests/support/VirtualMessageLoop.h"

#include "platform/Timer.h"

#include <gtest/gtest.h>
#include <QString>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace kirvan::testing {
namespace {

struct Fired {
    std::string name;
    std::int64_t at;
    bool operator==(const Fired&) const = default;
};

class VirtualMessageLoopTest : public ::testing::Test {
protected:
    std::unique_ptr<Timer> startTimer(const std::string& name, int interval)
    {
        auto timer = loop.createTimer();
        timer->setInterval(interval);
        timer->setOnTimer([this, name] { fired.push_back({name, loop.now()}); });
        timer->setEnabled(true);
        return timer;
    }

    VirtualMessageLoop loop;
    std::vector<Fired> fired;
};

TEST_F(VirtualMessageLoopTest, TimersDueTogetherFireInTheOrderTheyWereArmed)
{
    auto poll = startTimer("poll", 800);
    auto blink = startTimer("blink", 400);
    auto mailbox = startTimer("mailbox", 800);
    loop.advance(800);
    // At 800 the polling and mailbox timers were armed at 0, the blink timer re-armed at 400.
    EXPECT_EQ(fired, (std::vector<Fired>{{"blink", 400}, {"poll", 800}, {"mailbox", 800}, {"blink", 800}}));
}

TEST_F(VirtualMessageLoopTest, PeriodStartsAnewWhenIntervalChangesOrTimerIsReenabled)
{
    auto timer = startTimer("t", 500);
    loop.advance(300);
    timer->setInterval(400); // a running timer starts its period again
    loop.advance(399);
    EXPECT_TRUE(fired.empty());
    loop.advance(1);
    EXPECT_EQ(fired, (std::vector<Fired>{{"t", 700}}));

    timer->setEnabled(false);
    loop.advance(1000);
    timer->setEnabled(true);
    loop.advance(400);
    EXPECT_EQ(fired.back(), (Fired{"t", 2100}));
}

TEST_F(VirtualMessageLoopTest, IntervalZeroNeverFires)
{
    auto timer = startTimer("t", 0);
    loop.advance(10000);
    EXPECT_TRUE(fired.empty());
}

TEST_F(VirtualMessageLoopTest, HandlerMayDisableOrDestroyItsOwnTimer)
{
    auto once = loop.createTimer();
    once->setInterval(100);
    int count = 0;
    once->setOnTimer([&] {
        ++count;
        once.reset();
    });
    once->setEnabled(true);
    loop.advance(1000);
    EXPECT_EQ(count, 1);
}

TEST_F(VirtualMessageLoopTest, NestedWaitsFireTimersOfTheOuterLevelInTimeOrder)
{
    auto blink = startTimer("blink", 500);
    // The polling handler waits 1200 ms; meanwhile the blink timer and the poll timer itself
    // keep firing inside that wait.
    auto poll = loop.createTimer();
    poll->setInterval(800);
    int depth = 0;
    poll->setOnTimer([&] {
        fired.push_back({"poll", loop.now()});
        ++depth;
        if (depth == 1) {
            const auto end = loop.now() + 1200;
            loop.waitUntil([&] { return loop.now() >= end; }, 1200);
        }
        --depth;
    });
    poll->setEnabled(true);
    loop.advance(2000);
    EXPECT_EQ(fired, (std::vector<Fired>{{"blink", 500},
                                         {"poll", 800},
                                         {"blink", 1000},
                                         {"blink", 1500},
                                         {"poll", 1600},
                                         {"blink", 2000}}));
    EXPECT_EQ(loop.now(), 2000);
}

TEST_F(VirtualMessageLoopTest, WaitWithTimeoutEndsAtItsDeadline)
{
    EXPECT_FALSE(loop.waitUntil([] { return false; }, 250));
    EXPECT_EQ(loop.now(), 250);
}

TEST_F(VirtualMessageLoopTest, HandedOverRoutinesRunOnTheMainThreadInOrder)
{
    std::vector<int> order;
    const auto mainThread = std::this_thread::get_id();
    bool allOnMain = true;
    std::thread worker([&] {
        for (int i = 0; i < 50; ++i)
            loop.synchronize([&, i] {
                allOnMain = allOnMain && std::this_thread::get_id() == mainThread;
                order.push_back(i);
            });
    });
    loop.waitUntil([&] { return order.size() == 50; });
    worker.join();
    std::vector<int> expected(50);
    for (int i = 0; i < 50; ++i)
        expected[static_cast<size_t>(i)] = i;
    EXPECT_EQ(order, expected);
    EXPECT_TRUE(allOnMain);
}

TEST_F(VirtualMessageLoopTest, HandOverIsServedInsideANestedWait)
{
    std::thread worker;
    std::vector<std::string> trace;
    bool delivered = false;
    auto timer = loop.createTimer();
    timer->setInterval(100);
    timer->setOnTimer([&] {
        timer->setEnabled(false);
        trace.push_back("handler waits");
        worker = std::thread([&] {
            loop.synchronize([&] {
                trace.push_back("routine");
                delivered = true;
            });
        });
        loop.waitUntil([&] { return delivered; });
        trace.push_back("handler resumes");
    });
    timer->setEnabled(true);
    const auto end = loop.now() + 500;
    loop.waitUntil([&] { return loop.now() >= end; }, 500);
    worker.join();
    EXPECT_EQ(trace, (std::vector<std::string>{"handler waits", "routine", "handler resumes"}));
}

TEST_F(VirtualMessageLoopTest, ExceptionInAHandlerIsReportedAndTheLoopGoesOn)
{
    std::vector<std::string> reported;
    loop.setErrorHandler([&](const std::exception& e) { reported.emplace_back(e.what()); });
    auto failing = loop.createTimer();
    failing->setInterval(100);
    failing->setOnTimer([] { throw std::runtime_error("'x' is not a valid integer value"); });
    failing->setEnabled(true);
    auto healthy = startTimer("healthy", 150);
    loop.advance(300);
    EXPECT_EQ(reported.size(), 3u);
    EXPECT_EQ(reported.front(), "'x' is not a valid integer value");
    EXPECT_EQ(fired.size(), 2u);
}

} // namespace
} // namespace kirvan::testing
