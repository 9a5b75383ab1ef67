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
#include <QThread>
#include <algorithm>

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

QString figures(pid_t pid)
{
    return megabytes(processFigures(pid).value_or(ProcessFigures{}).residentKb);
}

void measureIndex(const QString& log, const QString& cacheFolder, QTextStream& out)
{
    const SystemLocale locale;
    const JournalDateOrder order(locale);
    for (const char* pass : {"first open (indexes built and kept)", "next open (kept indexes)"}) {
        QElapsedTimer timer;
        timer.start();
        const JournalIndex index = JournalIndex::build(log, order, {}, cacheFolder);
        const qint64 built = timer.elapsed();
        const std::vector<std::uint32_t> all = index.select(JournalFilter{});
        out << pass << ": " << index.size() << " lines in " << index.files().size() << " files indexed in " << built
            << " ms, shown (every line) after " << timer.elapsed() << " ms" << Qt::endl;
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

    // Started as the workstation starts it (Ctrl+F3): a child with a socket for its input.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    ChildProgram viewer(QStringLiteral(KIRVAN_JOURNAL_PROGRAM),
                        {QStringLiteral("--dir"), folder, QStringLiteral("--from-workstation")});
    clock.restart();
    if (!viewer.show())
        return 1;
    // The viewer is the child that is not the workstation.
    pid_t shown = 0;
    QFile children(QStringLiteral("/proc/%1/task/%1/children").arg(getpid()));
    if (children.open(QIODevice::ReadOnly))
        for (const QByteArray& child : children.readAll().split(' '))
            if (const int pid = child.trimmed().toInt(); pid > 0 && pid != station)
                shown = pid_t(pid);
    const double ready = settle(shown, clock);
    out << "kirvan-journal open and filterable (its work done) after " << ready << " s: resident " << figures(shown)
        << "; workstation " << figures(station) << Qt::endl;

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
