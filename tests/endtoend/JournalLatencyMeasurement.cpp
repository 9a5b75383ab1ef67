// Not a test: a measurement run by hand, never by CTest (it is disabled):
//   endtoend_tests --gtest_also_run_disabled_tests --gtest_filter='*MeasureJournalLatency*'
// Over 100 injected events it prints the time from the simulator's write of a frame's last byte
// to the journal line reaching the history line (target: 95th percentile at most 250 ms).

#include "tests/endtoend/EndToEndRig.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <gtest/gtest.h>
#include <mutex>

namespace kirvan::testing {
namespace {

using Clock = std::chrono::steady_clock;

double percentile(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(share * static_cast<double>(values.size() - 1) + 0.5)];
}

TEST(EndToEndMeasurement, DISABLED_MeasureJournalLatency)
{
    constexpr int events = 100;
    // Declared before the rig: its shut-down line still reaches the history line.
    std::mutex mutex;
    Clock::time_point written;
    std::vector<double> latenciesMs;
    EndToEndRig rig;
    rig.simulator->setOnWritten([&](const std::vector<std::uint8_t>&, Clock::time_point at) {
        std::lock_guard lock(mutex);
        written = at;
    });
    rig.workstation->log().history().setOnChanged([&] {
        const auto now = Clock::now();
        std::lock_guard lock(mutex);
        latenciesMs.push_back(std::chrono::duration<double, std::milli>(now - written).count());
    });
    for (int i = 0; i < events; ++i) {
        const auto before = latenciesMs.size();
        rig.inject(i % 2 == 0 ? QStringLiteral("fault 1 И12-05") : QStringLiteral("fire 1 И01-05"));
        ASSERT_TRUE(rig.waitFor([&] { return latenciesMs.size() > before; }, eventLimitMs));
    }
    std::printf("events: %zu\njournal latency median: %.1f ms\njournal latency 95th percentile: %.1f ms "
                "(target at most 250 ms)\njournal latency maximum: %.1f ms\n",
                latenciesMs.size(), percentile(latenciesMs, 0.5), percentile(latenciesMs, 0.95),
                percentile(latenciesMs, 1.0));
}

} // namespace
} // namespace kirvan::testing
