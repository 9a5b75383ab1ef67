// port-latency: opens a pseudo-terminal pair through the serial port component and measures
//  - over N frames of 7 bytes, the time from the other side's write of a frame's last byte to the
//    start of the bytes-arrived handler on the main thread (median, 95th percentile, maximum);
//  - the process's CPU use while the port is open and the line is quiet.
// Usage: port-latency [--frames N] [--idle-seconds S]

#include "serial/SerialPort.h"
#include "serial/PosixSerialDevice.h"
#include "serial/PseudoTerminal.h"
#include "platform/QtMessageLoop.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int frameSize = 7;

struct Options {
    int frames = 200;
    int idleSeconds = 60;
};

Options parse(const QCoreApplication& application)
{
    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption frames(QStringLiteral("frames"), QStringLiteral("Frames to time."), QStringLiteral("N"),
                                    QStringLiteral("200"));
    const QCommandLineOption idle(QStringLiteral("idle-seconds"),
                                  QStringLiteral("Seconds of quiet line for the CPU figure."), QStringLiteral("S"),
                                  QStringLiteral("60"));
    parser.addOptions({frames, idle});
    parser.process(application);
    return {std::max(1, parser.value(frames).toInt()), std::max(1, parser.value(idle).toInt())};
}

double percentile(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    const auto index = static_cast<std::size_t>(share * static_cast<double>(values.size() - 1) + 0.5);
    return values[index];
}

double processCpuSeconds()
{
    timespec used{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return static_cast<double>(used.tv_sec) + static_cast<double>(used.tv_nsec) / 1e9;
}

// Writes one frame at a time at varying gaps, so that frames meet the port's threads at every
// phase of their pauses, and waits until the main thread has taken each frame.
class Talker {
public:
    Talker(const kirvan::PseudoTerminal& farEnd, int frames) : farEnd_(farEnd), frames_(frames) {}

    void run()
    {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> gapMs(20, 260);
        const std::vector<std::uint8_t> frame = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07};
        for (int i = 0; i < frames_; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(gapMs(random)));
            std::unique_lock lock(mutex_);
            lastByteWritten_ = Clock::now();
            if (!farEnd_.write(frame))
                return;
            taken_.wait(lock, [&] { return takenFrames_ > i; });
        }
    }

    // Main thread: a frame has been taken; its latency is from the write to `notified`.
    void frameTaken(Clock::time_point notified)
    {
        std::lock_guard lock(mutex_);
        latenciesMs.push_back(std::chrono::duration<double, std::milli>(notified - lastByteWritten_).count());
        ++takenFrames_;
        taken_.notify_all();
    }

    bool done()
    {
        std::lock_guard lock(mutex_);
        return takenFrames_ >= frames_;
    }

    std::vector<double> latenciesMs;

private:
    const kirvan::PseudoTerminal& farEnd_;
    const int frames_;
    std::mutex mutex_;
    std::condition_variable taken_;
    Clock::time_point lastByteWritten_;
    int takenFrames_ = 0;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const Options options = parse(application);

    QTemporaryDir folder;
    kirvan::PseudoTerminal farEnd;
    if (!folder.isValid() || !farEnd.valid()
        || !farEnd.linkAs(QDir(folder.path()).filePath(QStringLiteral("ports/COM1")))) {
        std::fprintf(stderr, "port-latency: no pseudo-terminal\n");
        return 1;
    }
    kirvan::QtMessageLoop loop;
    kirvan::SteadyPortClock portClock;
    kirvan::PosixSerialPorts ports(folder.path());
    kirvan::SerialPort port(loop, ports, portClock);
    port.setComNumber(1);
    port.setBaudRate(kirvan::BaudRate::bps4800);
    port.setParity(kirvan::Parity::mark);

    Talker talker(farEnd, options.frames);
    port.setOnBytesArrived([&](std::uint16_t count) {
        const auto notified = Clock::now();
        if (count < frameSize)
            return;
        std::uint8_t frame[frameSize];
        port.readBuf(frame);
        talker.frameTaken(notified);
    });
    port.setOpen(true);
    if (!port.isOpen()) {
        std::fprintf(stderr, "port-latency: the port did not open\n");
        return 1;
    }

    std::thread talking([&] { talker.run(); });
    loop.waitUntil([&] { return talker.done(); }, options.frames * 2000);
    talking.join();
    if (talker.latenciesMs.size() != static_cast<std::size_t>(options.frames)) {
        std::fprintf(stderr, "port-latency: %zu of %d frames arrived\n", talker.latenciesMs.size(), options.frames);
        return 1;
    }
    std::printf("frames: %d\n", options.frames);
    std::printf("latency median: %.1f ms\n", percentile(talker.latenciesMs, 0.5));
    std::printf("latency 95th percentile: %.1f ms (target at most 150 ms)\n", percentile(talker.latenciesMs, 0.95));
    std::printf("latency maximum: %.1f ms\n", percentile(talker.latenciesMs, 1.0));

    const double cpuBefore = processCpuSeconds();
    const auto wallBefore = Clock::now();
    loop.waitUntil([] { return false; }, options.idleSeconds * 1000);
    const double wall = std::chrono::duration<double>(Clock::now() - wallBefore).count();
    const double cpuShare = (processCpuSeconds() - cpuBefore) / wall * 100.0;
    std::printf("idle CPU over %.0f s: %.2f %% of one core (target under 1 %%)\n", wall, cpuShare);

    port.setOpen(false);
    return 0;
}
