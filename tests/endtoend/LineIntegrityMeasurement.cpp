// Not a test: a measurement run by hand, never by CTest (it is disabled):
//   endtoend_tests --gtest_also_run_disabled_tests --gtest_filter='*MeasureLineIntegrity*'
// The simulator sends 10,000 event frames as a panel does (byte by byte at 4800 bit/s, frames back
// to back) in bursts of 100 with noise and a frame with a bad checksum between the bursts. It
// prints how many frames never reached the journal (target 0) and the time from the write of a
// frame's last byte to its journal line (target: 95th percentile at most 250 ms).

#include "link/FrameDecoder.h"
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

TEST(EndToEndMeasurement, DISABLED_MeasureLineIntegrity)
{
    constexpr int bursts = 100;
    constexpr int framesPerBurst = 100;
    const QString fault = QStringLiteral("01/И12-05/08");
    const QString fire = QStringLiteral("01/И01-05/07");
    // Declared before the rig: its shut-down line still reaches the history line.
    std::mutex mutex;
    std::vector<Clock::time_point> written; // last byte of each event frame, in order
    std::vector<Clock::time_point> journaled;
    EndToEndRig rig;
    // The frames of the injected events; answers, the state reports, noise and bad frames aside.
    const auto injected = [&](const std::vector<std::uint8_t>& item) {
        if (item.size() != 7 || frameChecksum(item.data()) != item[6])
            return false;
        Frame frame;
        std::copy(item.begin(), item.end(), frame.begin());
        const QString record = decodeFrame(frame);
        return record == fault || record == fire;
    };
    rig.simulator->setOnWritten([&](const std::vector<std::uint8_t>& item, Clock::time_point at) {
        if (injected(item)) {
            std::lock_guard lock(mutex);
            written.push_back(at);
        }
    });
    HistoryLine& history = rig.workstation->log().history();
    history.setOnChanged([&] {
        const auto now = Clock::now();
        const QString& last = history.list().back();
        if (last.startsWith(fault) || last.startsWith(fire)) {
            std::lock_guard lock(mutex);
            journaled.push_back(now);
        }
    });
    const auto writtenCount = [&] {
        std::lock_guard lock(mutex);
        return written.size();
    };
    for (int burst = 0; burst < bursts; ++burst) {
        for (int i = 0; i < framesPerBurst; ++i)
            rig.inject(i % 2 == 0 ? QStringLiteral("fault 1 И12-05") : QStringLiteral("fire 1 И01-05"));
        rig.inject(QStringLiteral("noise 20"));
        rig.inject(QStringLiteral("badsum"));
        const auto sent = static_cast<std::size_t>((burst + 1) * framesPerBurst);
        ASSERT_TRUE(rig.waitFor([&] { return writtenCount() >= sent; }, 60'000));
    }
    // The last frames reach the journal within a second or they never will.
    rig.waitFor([&] { return journaled.size() >= written.size(); }, 5000);
    std::lock_guard lock(mutex);
    std::vector<double> latenciesMs;
    for (std::size_t i = 0; i < std::min(written.size(), journaled.size()); ++i)
        latenciesMs.push_back(std::chrono::duration<double, std::milli>(journaled[i] - written[i]).count());
    std::printf("event frames sent at line pace: %zu\nframes lost: %zd (target 0)\n"
                "last byte to journal line: median %.1f ms, 95th percentile %.1f ms (target at most 250 ms), "
                "maximum %.1f ms\n",
                written.size(),
                static_cast<std::ptrdiff_t>(written.size()) - static_cast<std::ptrdiff_t>(journaled.size()),
                percentile(latenciesMs, 0.5), percentile(latenciesMs, 0.95), percentile(latenciesMs, 1.0));
    EXPECT_EQ(journaled.size(), written.size());
}

} // namespace
} // namespace kirvan::testing
