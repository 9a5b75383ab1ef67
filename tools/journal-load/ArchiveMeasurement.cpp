#include "tools/journal-load/ArchiveMeasurement.h"

#include "archive/JournalIndex.h"
#include "platform/ChildProgram.h"
#include "platform/SystemLocale.h"
#include "tools/journal-load/TenYearArchive.h"
#include "tools/kirvan-load/ProcessFigures.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QThread>
#include <algorithm>
#include <memory>

namespace kirvan::load {

namespace {

long peakResidentKb(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    return 0;
}

// Polls a process until its processor time has not grown for a second: its work is done.
double settle(pid_t pid, const QElapsedTimer& since)
{
    double last = -1;
    qint64 quietSince = since.elapsed();
    while (since.elapsed() - quietSince < 1000 && since.elapsed() < 600000) {
        QThread::msleep(50);
        const double now = processFigures(pid).value_or(ProcessFigures{}).cpuSeconds;
        if (now != last)
            quietSince = since.elapsed();
        last = now;
    }
    return double(quietSince) / 1000;
}

QSet<pid_t> childrenOf(pid_t parent)
{
    QSet<pid_t> pids;
    QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(parent));
    if (children.open(QIODevice::ReadOnly))
        for (const QByteArray& child : children.readAll().split(' '))
            if (const int pid = child.trimmed().toInt(); pid > 0)
                pids.insert(pid_t(pid));
    return pids;
}

// The child started since `before` was taken.
pid_t newChild(const QSet<pid_t>& before)
{
    for (const pid_t pid : childrenOf(getpid()))
        if (!before.contains(pid))
            return pid;
    return 0;
}

// Waits until `folder` holds a file; the viewer keeps its indexes there once it shows the lines.
double firstFileIn(const QString& folder, const QElapsedTimer& since)
{
    while (QDir(folder).isEmpty(QDir::Files) && since.elapsed() < 600000)
        QThread::msleep(5);
    return double(since.elapsed()) / 1000;
}

QString figures(pid_t pid)
{
    return megabytes(processFigures(pid).value_or(ProcessFigures{}).residentKb);
}

void measureIndex(const QString& log, const QString& cacheFolder, QTextStream& out)
{
    const SystemLocale locale;
    const JournalDateOrder order(locale);
    for (const char* pass : {"first open (indexes built)", "next open (kept indexes)"}) {
        QElapsedTimer timer;
        timer.start();
        const JournalIndex index = JournalIndex::build(log, order, {}, cacheFolder);
        const qint64 built = timer.elapsed();
        const std::vector<std::uint32_t> all = index.select(JournalFilter{});
        out << pass << ": " << index.size() << " lines in " << index.files().size() << " files indexed in " << built
            << " ms, shown (every line) after " << timer.elapsed() << " ms";
        // As the viewer does, once the lines are shown.
        timer.restart();
        index.keep();
        out << "; indexes kept in a further " << timer.elapsed() << " ms" << Qt::endl;
    }
    const JournalIndex index = JournalIndex::build(log, order, {}, cacheFolder);
    std::vector<qint64> days;
    for (int month = 0; month < 120; month += 12) {
        JournalFilter day;
        const QDate date = QDate(2017, 1, 15).addMonths(month);
        day.from = QDateTime(date, QTime(0, 0));
        day.to = QDateTime(date, QTime(23, 59));
        QElapsedTimer timer;
        timer.start();
        const std::size_t lines = index.select(day).size();
        days.push_back(timer.elapsed());
        if (month == 0)
            out << "one day's filter: " << lines << " lines";
    }
    std::sort(days.begin(), days.end());
    out << ", " << days.front() << "–" << days.back() << " ms over ten days of ten years (target ≤ 100 ms)" << Qt::endl;
    out << "this process (the viewer's index and filter without the window): resident "
        << figures(getpid()) << ", peak " << megabytes(peakResidentKb(getpid())) << Qt::endl;
}

} // namespace

int measureArchive(const QString& folder, const QString& cacheFolder, QTextStream& out)
{
    if (!writeTenYearArchive(folder, out))
        return 1;
    const QString log = QDir(folder).filePath(QStringLiteral("KirvanMonitorP.txt"));
    measureIndex(log, cacheFolder, out);

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess workstation;
    workstation.setProcessEnvironment(environment);
    workstation.setStandardOutputFile(QProcess::nullDevice());
    workstation.setStandardErrorFile(QProcess::nullDevice());
    workstation.start(QStringLiteral(KIRVAN_MONITOR_PROGRAM), {QStringLiteral("--dir"), folder});
    if (!workstation.waitForStarted())
        return 1;
    const pid_t station = pid_t(workstation.processId());
    QElapsedTimer clock;
    clock.start();
    settle(station, clock);
    const long before = processFigures(station).value_or(ProcessFigures{}).residentKb;
    out << "workstation at rest: " << megabytes(before) << Qt::endl;

    // The viewer's own cache is empty at first, as on a new workstation: its first open builds
    // every index. Started as the workstation starts it (Ctrl+F3): a child with a socket for its input.
    const QString viewerCache = QDir(cacheFolder).filePath(QStringLiteral("viewer"));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(viewerCache));
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QString keptIndexes = viewerCache + QStringLiteral("/kirvanmonitorp/journal-index");
    const QStringList viewerArguments{QStringLiteral("--dir"), folder, QStringLiteral("--from-workstation")};
    auto viewer = std::make_unique<ChildProgram>(QStringLiteral(KIRVAN_JOURNAL_PROGRAM), viewerArguments);
    QSet<pid_t> running = childrenOf(getpid());
    clock.restart();
    if (!viewer->show())
        return 1;
    pid_t shown = newChild(running);
    const double open = firstFileIn(keptIndexes, clock);
    const double done = settle(shown, clock);
    out << "kirvan-journal, first open: open and filterable (every line shown, the kept indexes begun) after "
        << open << " s, its work done (indexes kept) after " << done << " s: resident " << figures(shown)
        << "; workstation " << figures(station) << Qt::endl;

    // Closed and opened again, as the operator does: the kept indexes are taken up.
    viewer.reset();
    viewer = std::make_unique<ChildProgram>(QStringLiteral(KIRVAN_JOURNAL_PROGRAM), viewerArguments);
    running = childrenOf(getpid());
    clock.restart();
    if (!viewer->show())
        return 1;
    shown = newChild(running);
    out << "kirvan-journal, next open (kept indexes): open and filterable, its work done, after "
        << settle(shown, clock) << " s: resident " << figures(shown) << Qt::endl;

    // Four rotations as logrotate makes them, each followed by new lines in a new log; named after
    // every month of the archive.
    for (int rotation = 1; rotation <= 4; ++rotation) {
        QFile::rename(log, log + QStringLiteral("-20261210%1").arg(rotation));
        QFile next(log);
        if (next.open(QIODevice::WriteOnly))
            next.write("10.12.2026 9:00:0" + QByteArray::number(rotation) + "  \xca\xce\xcc\xcf\xcb\xc5\xca\xd1 \xca\xc8\xd0\xc2\xc0\xcd \xc2\xca\xcb\xde\xd7\xc5\xcd\r\n");
        next.close();
        clock.restart();
        QThread::msleep(1500); // the viewer looks every second
        settle(shown, clock);
    }
    out << "after four rotations: kirvan-journal resident " << figures(shown) << ", peak "
        << megabytes(peakResidentKb(shown)) << " (target ≤ 200 MB); workstation " << figures(station)
        << ", change " << (processFigures(station).value_or(ProcessFigures{}).residentKb - before) / 1024
        << " MB (target < 10 MB)" << Qt::endl;
    // The rotations are taken back, so that the next run finds the archive as it was.
    for (int rotation = 4; rotation >= 1; --rotation) {
        QFile::remove(log);
        QFile::rename(log + QStringLiteral("-20261210%1").arg(rotation), log);
    }
    workstation.terminate();
    workstation.waitForFinished();
    return 0;
}

} // namespace kirvan::load
