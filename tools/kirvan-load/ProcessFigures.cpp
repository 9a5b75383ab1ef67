#include "tools/kirvan-load/ProcessFigures.h"

#include <QFile>
#include <QStringList>
#include <unistd.h>

namespace kirvan::load {

namespace {

QByteArray procFile(pid_t pid, const char* name)
{
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

std::optional<ProcessFigures> processFigures(pid_t pid)
{
    const QByteArray status = procFile(pid, "status");
    const QByteArray stat = procFile(pid, "stat");
    // The command name in parentheses may hold blanks; the fields counted after it do not.
    const qsizetype nameEnd = stat.lastIndexOf(')');
    if (status.isEmpty() || nameEnd < 0)
        return std::nullopt;
    ProcessFigures figures;
    for (const QByteArray& line : status.split('\n'))
        if (line.startsWith("VmRSS:"))
            figures.residentKb = line.mid(6).trimmed().split(' ').front().toLong();
    // Fields 14 and 15 (utime, stime) in clock ticks; the state (field 3) comes first after ")".
    const QList<QByteArray> fields = stat.mid(nameEnd + 2).split(' ');
    if (fields.size() > 12) {
        const double ticks = static_cast<double>(sysconf(_SC_CLK_TCK));
        figures.cpuSeconds = static_cast<double>(fields[11].toLongLong() + fields[12].toLongLong()) / ticks;
    }
    return figures;
}

QString megabytes(long kilobytes)
{
    return QString::number(static_cast<double>(kilobytes) / 1024.0, 'f', 1) + QStringLiteral(" MB");
}

} // namespace kirvan::load
