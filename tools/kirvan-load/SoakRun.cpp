#include "tools/kirvan-load/SoakRun.h"

#include "files/IniStore.h"
#include "files/WorkstationFolder.h"
#include "link/FrameDecoder.h"
#include "platform/SystemLocale.h"
#include "tools/kirvan-sim/SimComplex.h"
#include "tools/kirvan-sim/SimLine.h"
#include "tools/kirvan-load/ProcessFigures.h"
#include "tools/kirvan-load/ProcessorShare.h"
#include "tools/kirvan-load/ZoneDetectors.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <vector>

namespace kirvan::load {

namespace {

using Clock = std::chrono::steady_clock;

constexpr int comNumber = 1;
constexpr int startUpSeconds = 10; // the workstation loads and sends its first commands
constexpr int settleSeconds = 3; // the last events written reach the journal
constexpr int drainLimitSeconds = 600; // for the simulator to write what it still holds
constexpr int boundEvents = 10000; // the event table and the history line are full from here on
// At the line's own pace: so many events wait in the simulator, so its writer never runs dry
// between two sender ticks and the memory it holds stays small.
constexpr long backToBackWaiting = 4;

// Whether the record is one of the events the soak sends (its journal line is counted).
bool soakEvent(QStringView record)
{
    const QStringView code = record.mid(10, 2);
    return record.size() == 12 && (code == u"07" || code == u"08" || code == u"51");
}

// The journal lines the workstation has written since the run began, read as they come.
class JournalTail {
public:
    explicit JournalTail(QString path) : path_(std::move(path))
    {
        QFile file(path_);
        offset_ = file.exists() ? file.size() : 0;
    }
    void read()
    {
        QFile file(path_);
        if (!file.open(QIODevice::ReadOnly) || !file.seek(offset_))
            return;
        partial_ += file.readAll();
        offset_ = file.pos();
        qsizetype start = 0;
        for (qsizetype end = partial_.indexOf('\n'); end >= 0; start = end + 1, end = partial_.indexOf('\n', start)) {
            const QByteArray line = partial_.mid(start, end - start);
            ++lines;
            // A record first: "01/И12-05/07 ...", one byte a character in Windows-1251.
            if (line.size() > 12 && line[2] == '/' && line[9] == '/' && line[12] == ' ')
                eventLines += soakEvent(QString::fromLatin1(line.left(12))) ? 1 : 0;
        }
        partial_.remove(0, start);
    }

    long lines = 0;
    long eventLines = 0;

private:
    QString path_;
    qint64 offset_ = 0;
    QByteArray partial_;
};

sim::EventKind kindOf(long event)
{
    switch (event % 3) {
    case 0:
        return sim::EventKind::Fire;
    case 1:
        return sim::EventKind::Fault;
    default:
        return sim::EventKind::Technology;
    }
}

} // namespace

int runSoak(const SoakOptions& options, QTextStream& out)
{
    const std::vector<Target> targets = firstDetectorOfEachZone(options.folder);
    if (targets.empty()) {
        out << "no zone with a detector in " << options.folder << Qt::endl;
        return 2;
    }
    const SystemLocale locale;
    IniStore store(locale);
    sim::SimComplex complex(store, options.folder);
    sim::SimLine line(complex, options.folder, comNumber, [](const QString&) {});
    std::atomic<long> written = 0;
    // Only the events sent count, not the answers and state reports the simulator sends too.
    line.setOnWritten([&written](const std::vector<std::uint8_t>& item, Clock::time_point) {
        if (item.size() != Frame().size())
            return;
        Frame frame;
        std::copy(item.begin(), item.end(), frame.begin());
        if (soakEvent(decodeFrame(frame)))
            ++written;
    });

    QProcess workstation;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!environment.contains(QStringLiteral("DISPLAY")))
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    workstation.setProcessEnvironment(environment);
    workstation.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    workstation.setStandardOutputFile(QProcess::nullDevice());
    const int runSeconds = startUpSeconds + options.minutes * 60 + drainLimitSeconds + settleSeconds;
    workstation.start(options.workstation,
                      {QStringLiteral("--dir"), options.folder, QStringLiteral("--com"), QString::number(comNumber),
                       QStringLiteral("--quit-after"), QString::number(runSeconds + 30)});
    if (!workstation.waitForStarted()) {
        out << "cannot start " << options.workstation << Qt::endl;
        return 2;
    }
    const pid_t pid = static_cast<pid_t>(workstation.processId());
    JournalTail journal(WorkstationFolder(options.folder).logFile());
    out << "workstation " << pid << " on " << options.folder << "; "
        << (options.eventsPerSecond > 0 ? QString::number(options.eventsPerSecond) + QStringLiteral(" events a second")
                                        : QStringLiteral("events back to back at the line's pace"))
        << " for " << options.minutes << " minutes, fire, fault and technology alarm in turn over " << targets.size()
        << " zones" << Qt::endl;

    long sent = 0;
    Clock::time_point sendingStart;
    QTimer sender;
    sender.setTimerType(Qt::PreciseTimer);
    QObject::connect(&sender, &QTimer::timeout, [&] {
        const double seconds = std::chrono::duration<double>(Clock::now() - sendingStart).count();
        const long due = options.eventsPerSecond > 0 ? static_cast<long>(seconds * options.eventsPerSecond)
                                                     : written + backToBackWaiting;
        for (; sent < due; ++sent) {
            const Target& target = targets[static_cast<std::size_t>(sent) % targets.size()];
            line.execute(sim::SimCommand{sim::SimCommand::Action::Event, kindOf(sent), target.address, target.point, 0});
        }
    });

    int minute = 0;
    double lastCpu = 0;
    long lastWritten = 0;
    long residentAtBound = 0;
    long lowest = 0;
    long highest = 0;
    std::vector<double> shares;
    const auto report = [&](const QString& when) {
        journal.read();
        const auto figures = processFigures(pid);
        if (!figures)
            return;
        const long writtenNow = written;
        const double cpuPercent = (figures->cpuSeconds - lastCpu) / 60.0 * 100.0;
        const double rate = static_cast<double>(writtenNow - lastWritten) / 60.0;
        lastCpu = figures->cpuSeconds;
        lastWritten = writtenNow;
        shares.push_back(cpuPercent);
        if (residentAtBound == 0 && writtenNow >= boundEvents)
            residentAtBound = lowest = highest = figures->residentKb;
        if (residentAtBound != 0) {
            lowest = std::min(lowest, figures->residentKb);
            highest = std::max(highest, figures->residentKb);
        }
        out << when << ": events sent " << writtenNow << " (" << QString::number(rate, 'f', 1)
            << " a second; waiting in the simulator " << sent - writtenNow << "), event lines in the journal "
            << journal.eventLines << " (all lines " << journal.lines << "), resident " << megabytes(figures->residentKb)
            << ", processor " << QString::number(cpuPercent, 'f', 1) << " % of a core, machine load "
            << machineLoad() << Qt::endl;
    };

    // After the last minute the simulator writes what it still holds; then the workstation gets
    // a moment for the last of them.
    QTimer drain;
    QObject::connect(&drain, &QTimer::timeout, [&] {
        if (written < sent)
            return;
        drain.stop();
        QTimer::singleShot(settleSeconds * 1000, [] { QCoreApplication::quit(); });
    });
    QTimer minutes;
    QObject::connect(&minutes, &QTimer::timeout, [&] {
        ++minute;
        report(QStringLiteral("minute %1").arg(minute));
        if (minute == options.minutes) {
            minutes.stop();
            sender.stop();
            drain.start(200);
        }
    });
    QTimer::singleShot(startUpSeconds * 1000, [&] {
        lastCpu = processFigures(pid).value_or(ProcessFigures{}).cpuSeconds;
        sendingStart = Clock::now();
        sender.start(5);
        minutes.start(60 * 1000);
    });
    QTimer::singleShot(runSeconds * 1000, [&] { QCoreApplication::quit(); });
    QObject::connect(&workstation, &QProcess::finished, [&] {
        out << "the workstation ended early" << Qt::endl;
        QCoreApplication::quit();
    });
    QCoreApplication::exec();
    QObject::disconnect(&workstation, nullptr, nullptr, nullptr);

    journal.read();
    const long lost = written - journal.eventLines;
    out << "end: events sent " << written << ", event lines in the journal " << journal.eventLines << ", lost " << lost
        << Qt::endl;
    if (residentAtBound != 0)
        out << "resident after the first " << boundEvents << " events: " << megabytes(residentAtBound)
            << ", since then between " << megabytes(lowest) << " and " << megabytes(highest) << " (spread "
            << megabytes(highest - lowest) << ")" << Qt::endl;
    if (const QString summary = processorSummary(shares); !summary.isEmpty())
        out << summary << Qt::endl;
    workstation.terminate();
    if (!workstation.waitForFinished(10000))
        workstation.kill();
    return lost == 0 ? 0 : 1;
}

} // namespace kirvan::load
