// link-timing [TICKS]: the workstation's panel link on Qt's event loop and its real line to the
// panels, opened as COM1 on a pseudo-terminal. A station thread on the far end answers the
// link checks of system 0, then falls silent. Prints the polling period, the gap between the
// address byte and the body of each frame, and how long the link loss took to be reported.
#include "serial/PseudoTerminal.h"
#include "files/IniStore.h"
#include "files/SettingsFile.h"
#include "app/PanelLine.h"
#include "link/PanelLink.h"
#include "link/PanelLinkControl.h"
#include "platform/QtMessageLoop.h"
#include "platform/StatusBar.h"
#include "platform/SystemLocale.h"
#include "tools/kirvan-sim/CommandFrames.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double ms(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

struct Stats {
    double median;
    double p95;
    double low;
    double high;
};

Stats statsOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const auto at = [&](double q) {
        return values[static_cast<std::size_t>(q * static_cast<double>(values.size() - 1))];
    };
    return {at(0.5), at(0.95), values.front(), values.back()};
}

// The far end: finds command frames in the byte stream by their marker and checksum, notes when
// their first and second bytes arrived, and answers the link checks of system 0 while asked to.
class Station {
public:
    explicit Station(kirvan::PseudoTerminal& line) : line_(line), thread_([this] { run(); }) {}
    ~Station()
    {
        stop_ = true;
        thread_.join();
    }

    std::atomic<bool> answering{true};
    std::atomic<Clock::time_point::rep> silentSince{0};

    std::vector<std::pair<Clock::time_point, Clock::time_point>> frames()
    {
        std::lock_guard lock(mutex_);
        return frames_;
    }

private:
    void run()
    {
        std::vector<std::pair<std::uint8_t, Clock::time_point>> pending;
        while (!stop_) {
            const auto bytes = line_.readAvailable(std::chrono::milliseconds(20));
            const auto now = Clock::now();
            for (const std::uint8_t byte : bytes)
                pending.emplace_back(byte, now);
            while (pending.size() >= 7) {
                std::uint8_t frame[7];
                for (int i = 0; i < 7; ++i)
                    frame[i] = pending[static_cast<std::size_t>(i)].first;
                if (!kirvan::sim::isCommandFrame(frame)) {
                    pending.erase(pending.begin());
                    continue;
                }
                {
                    std::lock_guard lock(mutex_);
                    frames_.emplace_back(pending[0].second, pending[1].second);
                }
                pending.erase(pending.begin(), pending.begin() + 7);
                if (frame[2] == 0 && frame[0] == 0 && answering)
                    line_.write({0x20, 0x00, 0x00, 0x00, 0x00, 0x00, 0xDF});
            }
        }
    }

    kirvan::PseudoTerminal& line_;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::vector<std::pair<Clock::time_point, Clock::time_point>> frames_;
    std::thread thread_;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const int ticks = argc > 1 ? std::max(10, std::atoi(argv[1])) : 100;
    QTemporaryDir folder;
    kirvan::PseudoTerminal line;
    if (!folder.isValid() || !line.valid() || !line.holdSlaveRaw() || !QDir(folder.path()).mkpath(QStringLiteral("ports"))
        || !line.linkAs(folder.filePath(QStringLiteral("ports/COM1")))) {
        std::fprintf(stderr, "link-timing: cannot set up a pseudo-terminal as COM1\n");
        return 1;
    }

    kirvan::QtMessageLoop loop;
    const kirvan::SystemLocale locale;
    kirvan::IniStore store(locale);
    kirvan::SettingsFile settings(store, kirvan::WorkstationFolder(folder.path()));
    kirvan::StatusBar statusBar;
    kirvan::PanelLine panelLine(loop, folder.path());
    Clock::time_point lossReported{};
    kirvan::PanelLink link(loop, panelLine.port(), settings.ini(), statusBar, [&](const QString& record) {
        if (record == QStringLiteral("00/И01-01/23"))
            lossReported = Clock::now();
    });
    Station station(line);
    link.ports().choosePort(1);
    kirvan::PanelLinkControl control(link, loop);
    control.resetForLoad();
    control.acceptSystem(0);
    control.startPolling();

    // The eight silent start-up ticks, then the measured ones.
    const auto enoughFrames = [&] { return station.frames().size() >= static_cast<std::size_t>(ticks + 1); };
    loop.waitUntil(enoughFrames, (ticks + 12) * 800 + 5000);
    const auto frames = station.frames();
    if (frames.size() < 2) {
        std::fprintf(stderr, "link-timing: no frames reached the far end\n");
        return 1;
    }
    std::vector<double> periods;
    std::vector<double> gaps;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        gaps.push_back(ms(frames[i].second - frames[i].first));
        if (i > 0)
            periods.push_back(ms(frames[i].first - frames[i - 1].first));
    }

    station.answering = false;
    const auto silent = Clock::now();
    loop.waitUntil([&] { return lossReported != Clock::time_point{}; }, 30'000);

    const Stats period = statsOf(periods);
    const Stats gap = statsOf(gaps);
    std::printf("frames measured: %zu\n", frames.size());
    std::printf("polling period ms: median %.1f, 95th percentile %.1f, min %.1f, max %.1f\n", period.median, period.p95,
                period.low, period.high);
    std::printf("address byte to body ms: median %.1f, min %.1f, max %.1f\n", gap.median, gap.low, gap.high);
    if (lossReported == Clock::time_point{})
        std::printf("link loss: not reported within 30 s\n");
    else
        std::printf("silence to link-loss record ms: %.0f\n", ms(lossReported - silent));
    panelLine.port().close();
    return 0;
}
