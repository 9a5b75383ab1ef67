// mqtt-load --server HOST:PORT: publishes journal lines of a temporary workstation folder through
// the workstation's own publisher to a running broker (e.g. `mosquitto -p 18830`) and reads them
// back as a monitoring station, in the same process:
//   latency   a line written to the log → its message at the subscriber, 20 lines a second
//             (median, 95th percentile);
//   rate      20,000 lines written at once: lines a second until the last one arrived;
//   cpu       60 lines a second for 20 s: the CPU of the publisher's two threads (the process's
//             CPU less the main thread's and the subscriber's), in % of one core.
#include "journal/LogFile.h"
#include "platform/QtMessageLoop.h"
#include "remote/MosquittoLink.h"
#include "remote/PublisherThread.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <map>
#include <unistd.h>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

using namespace kirvan;
using Clock = std::chrono::steady_clock;

std::int64_t nowUs()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now().time_since_epoch()).count();
}

double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// CPU seconds of every thread of the process, by thread id (/proc/self/task/N/stat).
std::map<QString, double> threadsCpuSeconds()
{
    std::map<QString, double> threads;
    const double tick = double(sysconf(_SC_CLK_TCK));
    for (const QString& id : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile stat(QStringLiteral("/proc/self/task/%1/stat").arg(id));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> fields = stat.readAll().split(')').value(1).split(' ');
        // After ") ": state, then 10 more fields before utime and stime (fields 14 and 15 of the line).
        if (fields.size() > 13)
            threads[id] = (fields[12].toDouble() + fields[13].toDouble()) / tick;
    }
    return threads;
}

double threadCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

// The monitoring station: when each numbered line arrived, and its own thread's CPU.
struct Station {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<std::int64_t> latenciesUs;
    std::size_t received = 0;
    double cpu = 0;
    bool connected = false;

    void take(const QByteArray& payload)
    {
        // The line ends with the moment it was written, in microseconds.
        const QString text = QJsonDocument::fromJson(payload).object().value(QStringLiteral("text")).toString();
        const std::int64_t sent = text.section(QLatin1Char(' '), -1).toLongLong();
        std::lock_guard lock(mutex);
        latenciesUs.push_back(nowUs() - sent);
        ++received;
        cpu = threadCpuSeconds();
        changed.notify_all();
    }
    void awaitCount(std::size_t count)
    {
        std::unique_lock lock(mutex);
        changed.wait_for(lock, std::chrono::seconds(120), [&] { return received >= count; });
    }
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    const qsizetype serverAt = arguments.indexOf(QStringLiteral("--server"));
    RemoteSettings settings;
    if (serverAt < 0 || serverAt + 1 >= arguments.size()
        || !parseServer(arguments[serverAt + 1], false, settings.host, settings.port)) {
        std::fprintf(stderr, "usage: mqtt-load --server HOST:PORT\n");
        return 2;
    }
    settings.server = arguments[serverAt + 1];
    settings.prefix = QStringLiteral("kirvan/mqtt-load");
    QTemporaryDir folder;
    const QString logPath = folder.filePath(QStringLiteral("KirvanMonitorP.txt"));
    LogFile log(logPath);
    QtMessageLoop loop;

    Station station;
    MosquittoLink subscriber(settings);
    subscriber.start(BrokerLink::Handlers{[&](BrokerLink::State state) {
                                              std::lock_guard lock(station.mutex);
                                              station.connected = state == BrokerLink::State::Connected;
                                              station.changed.notify_all();
                                          },
                                          {},
                                          [&](const QString&, const QByteArray& payload) { station.take(payload); }},
                     {}, {}, {settings.eventTopic()});
    {
        std::unique_lock lock(station.mutex);
        if (!station.changed.wait_for(lock, std::chrono::seconds(10), [&] { return station.connected; })) {
            std::fprintf(stderr, "mqtt-load: no connection to %s\n", qPrintable(settings.server));
            return 1;
        }
    }
    LogPublisher::Setup setup;
    setup.logPath = logPath;
    setup.cursorPath = folder.filePath(QStringLiteral("KirvanMonitorP.mqtt"));
    setup.prefix = settings.prefix;
    PublisherThread publisher(loop, std::make_unique<MosquittoLink>(settings), std::move(setup), {});
    std::this_thread::sleep_for(std::chrono::seconds(1));
    std::size_t written = 0;
    const auto write = [&] {
        log.append(QStringLiteral("01/И12-05/08 08.12.2023 9:15:02 ОТКАЗ: СКЛАД %1").arg(nowUs()));
        publisher.logGrew();
        ++written;
    };
    const auto paced = [&](int perSecond, int count) {
        const auto start = Clock::now();
        for (int i = 0; i < count; ++i) {
            std::this_thread::sleep_until(start + std::chrono::microseconds(std::int64_t(i) * 1'000'000 / perSecond));
            write();
        }
        station.awaitCount(written);
    };

    paced(20, 200);
    std::vector<std::int64_t> latencies;
    {
        std::lock_guard lock(station.mutex);
        latencies = station.latenciesUs;
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("latency (line written → subscriber), %zu lines at 20/s: median %.2f ms, p95 %.2f ms\n",
                latencies.size(), double(latencies[latencies.size() / 2]) / 1000.0,
                double(latencies[latencies.size() * 95 / 100]) / 1000.0);

    const auto burstStart = Clock::now();
    for (int i = 0; i < 20'000; ++i)
        write();
    station.awaitCount(written);
    const double burstSeconds = std::chrono::duration<double>(Clock::now() - burstStart).count();
    std::printf("rate: 20000 lines written at once, all received after %.2f s: %.0f lines/s\n", burstSeconds,
                20'000 / burstSeconds);

    const double processBefore = cpuSeconds(RUSAGE_SELF);
    const double mainBefore = threadCpuSeconds();
    double stationBefore = 0;
    {
        std::lock_guard lock(station.mutex);
        stationBefore = station.cpu;
    }
    const auto threadsBefore = threadsCpuSeconds();
    const auto cpuStart = Clock::now();
    paced(60, 1200);
    const double wall = std::chrono::duration<double>(Clock::now() - cpuStart).count();
    double stationCpu = 0;
    {
        std::lock_guard lock(station.mutex);
        stationCpu = station.cpu - stationBefore;
    }
    const double publisherCpu = cpuSeconds(RUSAGE_SELF) - processBefore - (threadCpuSeconds() - mainBefore) - stationCpu;
    std::printf("cpu: 60 lines/s for %.1f s: publisher %.2f %% of a core (main thread writing the log %.2f %%, "
                "subscriber %.2f %%)\n",
                wall, 100 * publisherCpu / wall, 100 * (threadCpuSeconds() - mainBefore) / wall, 100 * stationCpu / wall);
    std::printf("cpu of each thread at 60 lines/s (%% of a core):");
    for (const auto& [id, seconds] : threadsCpuSeconds()) {
        const auto before = threadsBefore.find(id);
        std::printf(" %s %.2f", qPrintable(id),
                    100 * (seconds - (before == threadsBefore.end() ? 0 : before->second)) / wall);
    }
    std::printf(" (in the order the threads were made: main, subscriber's link, publisher's link, publisher)\n");
    subscriber.stop();
    return 0;
}
