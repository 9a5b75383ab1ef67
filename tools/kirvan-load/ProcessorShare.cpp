#include "tools/kirvan-load/ProcessorShare.h"

#include <QFile>
#include <algorithm>
#include <numeric>

namespace kirvan::load {

namespace {

constexpr std::size_t trendMinutes = 10;

QString percent(double value)
{
    return QString::number(value, 'f', 1) + QStringLiteral(" %");
}

double mean(std::vector<double>::const_iterator from, std::vector<double>::const_iterator to)
{
    return std::accumulate(from, to, 0.0) / double(to - from);
}

} // namespace

QString machineLoad()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readLine().split(' ').value(0));
}

QString processorSummary(const std::vector<double>& minutes)
{
    if (minutes.size() < 2)
        return {};
    const auto rest = minutes.begin() + 1;
    const auto [lowest, highest] = std::minmax_element(rest, minutes.end());
    QString summary = QStringLiteral("processor: minute 1 %1; minutes 2-%2 %3 on average (%4 to %5)")
                          .arg(percent(minutes.front()))
                          .arg(minutes.size())
                          .arg(percent(mean(rest, minutes.end())), percent(*lowest), percent(*highest));
    if (minutes.size() >= 1 + 2 * trendMinutes) {
        const double first = mean(rest, rest + trendMinutes);
        const double last = mean(minutes.end() - trendMinutes, minutes.end());
        summary += QStringLiteral("; minutes 2-11 %1, the last ten %2, a change of %3")
                       .arg(percent(first), percent(last), percent((last - first) / first * 100.0));
    }
    return summary;
}

} // namespace kirvan::load
