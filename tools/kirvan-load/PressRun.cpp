#include "tools/kirvan-load/PressRun.h"

#include "files/Cp1251.h"
#include "files/IniStore.h"
#include "files/WorkstationFolder.h"
#include "platform/SystemLocale.h"
#include "tools/kirvan-sim/SimComplex.h"
#include "tools/kirvan-sim/SimLine.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <random>

namespace kirvan::load {

namespace {

constexpr int comNumber = 1;
constexpr int startUpMs = 12'000; // past the start-up ticks, the first polls answered
constexpr int normaLimitMs = 5'000; // "НОРМА" comes within one tick and a frame; this is a hang
constexpr int tickMs = 800;
constexpr int givingUpAfterHangs = 3; // in a row: polling has stopped for good

// Journal lines of the control check's end ("NN/И01-01/00 …"), counted as they are written.
class NormaLines {
public:
    explicit NormaLines(QString path) : path_(std::move(path)) {}
    long count()
    {
        QFile file(path_);
        if (file.open(QIODevice::ReadOnly) && file.seek(offset_)) {
            partial_ += file.readAll();
            offset_ = file.pos();
        }
        static const QRegularExpression norma(QStringLiteral("^\\d\\d/И01-01/00"));
        qsizetype start = 0;
        for (qsizetype end = partial_.indexOf('\n'); end >= 0; start = end + 1, end = partial_.indexOf('\n', start))
            if (norma.match(cp1251::decode(partial_.mid(start, end - start))).hasMatch())
                ++count_;
        partial_.remove(0, start);
        return count_;
    }

private:
    QString path_;
    qint64 offset_ = 0;
    QByteArray partial_;
    long count_ = 0;
};

QString xdotool(const QStringList& arguments)
{
    QProcess tool;
    tool.start(QStringLiteral("xdotool"), arguments);
    tool.waitForFinished(5000);
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

// The main window among the process's windows (the toolkit adds a nameless helper window).
QString mainWindowOf(qint64 pid)
{
    for (int tries = 0; tries < 50; ++tries) {
        const QStringList ids = xdotool({QStringLiteral("search"), QStringLiteral("--pid"), QString::number(pid),
                                         QStringLiteral("--onlyvisible"), QStringLiteral("--class"), QString()})
                                    .split(u'\n', Qt::SkipEmptyParts);
        for (const QString& id : ids)
            if (xdotool({QStringLiteral("getwindowname"), id}) == QStringLiteral("КирванМонитор"))
                return id;
        QThread::msleep(200);
    }
    return {};
}

// Waits with the simulator's threads running; this thread has nothing else to do.
template <typename Done> bool waitFor(Done done, int limitMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() >= limitMs)
            return false;
        QThread::msleep(5);
    }
    return true;
}

} // namespace

int runPresses(const PressOptions& options, QTextStream& out)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        out << "real key presses need an X server: DISPLAY=:N (Xvfb :N)" << Qt::endl;
        return 2;
    }
    const SystemLocale locale;
    IniStore store(locale);
    sim::SimComplex complex(store, options.folder);
    sim::SimLine line(complex, options.folder, comNumber, [](const QString&) {});
    std::atomic<long> answers = 0;
    line.setOnWritten([&answers](const std::vector<std::uint8_t>&, std::chrono::steady_clock::time_point) { ++answers; });

    NormaLines norma(WorkstationFolder(options.folder).logFile());
    norma.count(); // what earlier runs wrote does not count
    QProcess workstation;
    workstation.setStandardOutputFile(QProcess::nullDevice());
    workstation.setStandardErrorFile(QProcess::nullDevice());
    workstation.start(options.workstation,
                      {QStringLiteral("--dir"), options.folder, QStringLiteral("--com"), QString::number(comNumber)});
    if (!workstation.waitForStarted()) {
        out << "cannot start " << options.workstation << Qt::endl;
        return 2;
    }
    const QString window = mainWindowOf(workstation.processId());
    if (window.isEmpty()) {
        out << "the main window did not show" << Qt::endl;
        workstation.kill();
        return 2;
    }
    QThread::msleep(startUpMs);
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    out << "workstation " << workstation.processId() << " on " << options.folder << ", " << options.presses
        << " presses of F5 at random moments of the polling tick" << Qt::endl;

    std::mt19937 random(26);
    std::uniform_int_distribution<int> phase(0, tickMs - 1);
    std::vector<qint64> latencies;
    int hangs = 0;
    int hangsInRow = 0;
    int pollingStopped = 0;
    for (int press = 1; press <= options.presses && hangsInRow < givingUpAfterHangs; ++press) {
        QThread::msleep(static_cast<unsigned long>(phase(random)));
        const long before = norma.count();
        QElapsedTimer clock;
        clock.start();
        xdotool({QStringLiteral("key"), QStringLiteral("F5")});
        if (waitFor([&] { return norma.count() > before; }, normaLimitMs)) {
            latencies.push_back(clock.elapsed());
            hangsInRow = 0;
        } else {
            ++hangs;
            ++hangsInRow;
            out << "press " << press << ": no НОРМА within " << normaLimitMs << " ms" << Qt::endl;
        }
        const long answered = answers;
        if (!waitFor([&] { return answers > answered; }, 2 * tickMs + 500)) {
            ++pollingStopped;
            out << "press " << press << ": the simulator was not polled afterwards" << Qt::endl;
        }
        if (press % 100 == 0)
            out << press << " presses, " << hangs << " hangs" << Qt::endl;
    }
    std::sort(latencies.begin(), latencies.end());
    const auto at = [&latencies](double share) {
        return latencies.empty()
                   ? 0
                   : latencies[static_cast<std::size_t>(share * static_cast<double>(latencies.size() - 1))];
    };
    out << "end: presses " << latencies.size() + static_cast<std::size_t>(hangs) << ", ended with НОРМА "
        << latencies.size() << ", hangs " << hangs << ", polling stopped after " << pollingStopped
        << "; press to НОРМА median " << at(0.5) << " ms, 99 % " << at(0.99) << " ms, longest " << at(1.0) << " ms"
        << Qt::endl;
    workstation.terminate();
    const bool ended = workstation.waitForFinished(20000);
    out << "stop signal: " << (ended ? "ended" : "still running after 20 s") << Qt::endl;
    if (!ended)
        workstation.kill();
    return hangs == 0 && pollingStopped == 0 && ended ? 0 : 1;
}

} // namespace kirvan::load
