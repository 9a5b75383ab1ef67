#include "platform/UpdateThrottle.h"

#include "tests/support/VirtualMessageLoop.h"

#include <gtest/gtest.h>
#include <vector>

namespace kirvan::testing {
namespace {

// A fire flood at the line's rate: 60 changes a second for two seconds.
TEST(UpdateThrottleTest, AFloodIsShownTenTimesASecondAndTheNewestWithinAPeriod)
{
    VirtualMessageLoop loop;
    int newest = 0;
    std::vector<std::pair<std::int64_t, int>> shown; // when, the newest change shown then
    UpdateThrottle throttle(loop, 100, [&] { shown.emplace_back(loop.now(), newest); });

    throttle.changed();
    ASSERT_EQ(shown.size(), 1u) << "the first change after a quiet time at once";
    for (int change = 1; change <= 120; ++change) {
        loop.advance(1000 / 60);
        newest = change;
        throttle.changed();
    }
    loop.advance(100);
    EXPECT_LE(shown.size(), 1u + 2 * 10 + 1);
    EXPECT_EQ(shown.back().second, 120) << "the last change is shown";
    for (std::size_t i = 1; i < shown.size(); ++i)
        EXPECT_GE(shown[i].first - shown[i - 1].first, 100);
    EXPECT_LE(shown.back().first - 120 * (1000 / 60), 100) << "within a period of the last change";

    // Quiet again: the next change is shown at once.
    loop.advance(1000);
    throttle.changed();
    EXPECT_EQ(shown.back().first, loop.now());
}

} // namespace
} // namespace kirvan::testing
