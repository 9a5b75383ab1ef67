// The real message loop, on Qt's event loop and real time: a few short runs only.
#include "platform/QtMessageLoop.h"

#include "platform/Timer.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace kirvan {
namespace {

TEST(QtMessageLoopTest, TimerFiresPeriodicallyWhileAWaitProcessesMessages)
{
    QtMessageLoop loop;
    auto timer = loop.createTimer();
    timer->setInterval(5);
    int ticks = 0;
    timer->setOnTimer([&] { ++ticks; });
    timer->setEnabled(true);
    EXPECT_TRUE(loop.waitUntil([&] { return ticks >= 3; }, 5000));
    timer->setEnabled(false);
}

TEST(QtMessageLoopTest, WaitEndsAtItsTimeoutWithoutOtherEvents)
{
    QtMessageLoop loop;
    const auto start = loop.now();
    EXPECT_FALSE(loop.waitUntil([] { return false; }, 30));
    EXPECT_GE(loop.now() - start, 30);
}

// A stop ends the waits under way, the nested and the outer one, also those without an end of
// their own; a wait begun afterwards (the close's) waits as usual.
TEST(QtMessageLoopTest, AStopEndsEveryWaitUnderWayButNotTheOnesAfterIt)
{
    QtMessageLoop loop;
    auto inner = loop.createTimer();
    inner->setInterval(5);
    std::vector<bool> ended;
    inner->setOnTimer([&] {
        inner->setEnabled(false);
        auto stop = loop.createTimer();
        stop->setInterval(10);
        stop->setOnTimer([&] { loop.requestStop(); });
        stop->setEnabled(true);
        ended.push_back(loop.waitUntil([] { return false; }));
    });
    inner->setEnabled(true);
    const auto start = loop.now();
    ended.push_back(loop.waitUntil([] { return false; }, 10'000));
    EXPECT_LT(loop.now() - start, 5000);
    EXPECT_EQ(ended, (std::vector<bool>{false, false}));
    const auto closing = loop.now();
    EXPECT_FALSE(loop.waitUntil([] { return false; }, 30));
    EXPECT_GE(loop.now() - closing, 30);
}

TEST(QtMessageLoopTest, WorkerRoutinesAreServedInOrderInsideANestedWait)
{
    QtMessageLoop loop;
    std::vector<int> order;
    std::thread worker;
    auto timer = loop.createTimer();
    timer->setInterval(1);
    bool handlerDone = false;
    timer->setOnTimer([&] {
        timer->setEnabled(false);
        worker = std::thread([&] {
            for (int i = 0; i < 20; ++i)
                loop.synchronize([&, i] { order.push_back(i); });
        });
        // The handler's own wait serves the worker.
        loop.waitUntil([&] { return order.size() == 20; }, 5000);
        handlerDone = true;
    });
    timer->setEnabled(true);
    EXPECT_TRUE(loop.waitUntil([&] { return handlerDone; }, 5000));
    worker.join();
    ASSERT_EQ(order.size(), 20u);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(order[static_cast<size_t>(i)], i);
}

TEST(QtMessageLoopTest, WakeFromAnotherThreadEndsAWaitOnASharedFlag)
{
    QtMessageLoop loop;
    std::atomic<bool> finished = false;
    std::thread worker([&] {
        finished = true;
        loop.wake();
    });
    EXPECT_TRUE(loop.waitUntil([&] { return finished.load(); }, 5000));
    worker.join();
}

} // namespace
} // namespace kirvan
