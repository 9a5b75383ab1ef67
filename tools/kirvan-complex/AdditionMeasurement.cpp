#include "tools/kirvan-complex/AdditionMeasurement.h"

#include "files/IniStore.h"
#include "files/SettingsFile.h"
#include "complex/SystemAddition.h"
#include "platform/SystemLocale.h"

#include <QDir>
#include <algorithm>
#include <chrono>
#include <ctime>

using namespace Qt::StringLiterals;

namespace kirvan {

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

double threadCpuMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1e6;
}

} // namespace

int measureAddition(const QString& folder, QTextStream& out)
{
    const QString systemFile = QDir(folder).filePath(u"ОБЪЕКТ0.cnf"_s);
    if (!QFile::exists(systemFile)) {
        out << "no " << systemFile << ": run kirvan-complex generate first\n";
        return 1;
    }
    QDir target(QDir(folder).filePath(u"addition"_s));
    target.removeRecursively();
    target.mkpath(u"."_s);
    const SystemLocale locale;
    IniStore store(locale);
    SettingsFile settings(store, WorkstationFolder(target.path()));

    const Clock::time_point start = Clock::now();
    const double cpuStart = threadCpuMilliseconds();
    Clock::time_point lastReport = start;
    double longestStretch = 0;
    SystemAddition addition(store, settings, systemFile, 0);
    addition.registerInSettings();
    addition.appendToComplexFile([&](const QString&) {
        const Clock::time_point now = Clock::now();
        longestStretch = std::max(longestStretch, millisecondsBetween(lastReport, now));
        lastReport = now;
    });
    addition.writeAddressIntoSystemFile();
    const Clock::time_point end = Clock::now();
    const double cpu = threadCpuMilliseconds() - cpuStart;

    QFile composition(settings.folder().complexFile());
    const qsizetype lines = composition.open(QIODevice::ReadOnly) ? composition.readAll().count('\n') : 0;
    out << "added " << addition.nodeText() << ": " << lines << " lines in " << qRound(millisecondsBetween(start, end))
        << " ms (processor " << qRound(cpu) << " ms); longest stretch without handling messages "
        << qRound(longestStretch) << " ms\n";
    return 0;
}

} // namespace kirvan
