#include "platform/WorkerThread.h"

#include "platform/Timer.h"
#include "tests/support/VirtualMessageLoop.h"

#include <gtest/gtest.h>
#include <thread>

namespace kirvan::testing {
namespace {

// A worker ended while its thread waits to hand a result over: the result is dropped, and no
// timer runs inside the end (the owner is half destroyed by then).
TEST(WorkerThreadTest, EndingWhileHandingOverRunsNeitherTheResultNorATimer)
{
    VirtualMessageLoop loop;
    const std::unique_ptr<Timer> timer = loop.createTimer();
    bool timerFired = false;
    timer->setOnTimer([&] { timerFired = true; });
    timer->setInterval(1);
    timer->setEnabled(true);
    bool delivered = false;
    auto worker = std::make_unique<WorkerThread>(loop);
    worker->post([&](std::stop_token) -> Worker::Routine { return [&] { delivered = true; }; });
    while (loop.pendingRoutines() == 0)
        std::this_thread::yield();
    worker.reset();
    EXPECT_FALSE(delivered);
    EXPECT_FALSE(timerFired);
}

TEST(WorkerThreadTest, ACancelledJobIsAskedToStopAndItsResultDropped)
{
    VirtualMessageLoop loop;
    WorkerThread worker(loop);
    bool delivered = false;
    worker.post([&](std::stop_token stop) -> Worker::Routine {
        while (!stop.stop_requested())
            std::this_thread::yield();
        return [&] { delivered = true; };
    });
    EXPECT_TRUE(worker.busy());
    worker.cancel();
    int later = 0;
    worker.post([&](std::stop_token) -> Worker::Routine { return [&] { later = 1; }; });
    loop.waitUntil([&] { return later == 1; });
    EXPECT_FALSE(delivered);
    EXPECT_FALSE(worker.busy());
}

} // namespace
} // namespace kirvan::testing
