#include "platform/StallWatchdog.h"

#include <QEvent>
#include <QStringList>
#include <gtest/gtest.h>

namespace kirvan::testing {
namespace {

class StallWatchdogTest : public ::testing::Test {
protected:
    std::int64_t now = 0;
    QStringList lines;
    StallWatchdog watchdog{[this] { return now; }, [this](const QString& line) { lines << line; }};
    const StallWatchdog::Handler timer5{"QTimer", QEvent::Timer, 500};
    const StallWatchdog::Handler press{"QTreeView", QEvent::MouseButtonPress, -1};
};

TEST_F(StallWatchdogTest, AHandlerHoldingTheThreadIsNamedOnceAMinute)
{
    // 100 ms is no stall; 150 ms is.
    watchdog.enter(timer5);
    now += 100;
    watchdog.leave();
    EXPECT_TRUE(lines.isEmpty());
    watchdog.enter(press);
    now += 150;
    watchdog.leave();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0], QStringLiteral("главный поток занят 150 мс: QTreeView, событие MouseButtonPress"));

    // Two more within the minute are counted into the next line, a minute after the first.
    for (int i = 0; i < 2; ++i) {
        watchdog.enter(timer5);
        now += 200;
        watchdog.leave();
    }
    watchdog.sleeping();
    now += 60000;
    watchdog.awake();
    watchdog.enter(timer5);
    now += 300;
    watchdog.leave();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[1], QStringLiteral("главный поток занят 300 мс: таймер 500 мс (и ещё задержек за минуту: 2)"));
}

TEST_F(StallWatchdogTest, TimeAsleepAndTimeInNestedHandlersIsNotTheWaitingHandlers)
{
    // A handler that waits for messages (a Delay) sleeps meanwhile, and the handlers run inside
    // its wait are charged their own time.
    watchdog.enter(timer5);
    now += 50;
    watchdog.sleeping();
    now += 800;
    watchdog.awake();
    watchdog.enter(press);
    now += 120;
    watchdog.leave();
    now += 30;
    watchdog.leave();
    ASSERT_EQ(lines.size(), 1);
    EXPECT_TRUE(lines[0].endsWith(QStringLiteral("120 мс: QTreeView, событие MouseButtonPress")));
}

} // namespace
} // namespace kirvan::testing
