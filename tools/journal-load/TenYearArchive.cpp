#include "tools/journal-load/TenYearArchive.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

namespace kirvan::load {

namespace {

constexpr int Months = 120;
constexpr int LinesPerMonth = 82645; // ten million lines in the 121 files

// Fires, faults, link reports and operator lines of four systems, in Windows-1251, of the
// lengths a site's texts have: about 96 bytes a line with the record, date and time.
const char* const texts[] = {
    "\xcf\xce\xc6\xc0\xd0: \xd1\xca\xcb\xc0\xc4 \xd6\xe5\xf5 2 \xd1\xea\xeb\xe0\xe4 \xe3\xee\xf2\xee\xe2\xee\xe9 "
    "\xef\xf0\xee\xe4\xf3\xea\xf6\xe8\xe8, \xf1\xe5\xea\xf6\xe8\xff 4",
    "\xce\xd2\xca\xc0\xc7: \xd1\xca\xcb\xc0\xc4 \xd6\xe5\xf5 1 \xca\xee\xf0\xe8\xe4\xee\xf0 \xe2\xf2\xee\xf0\xee\xe3\xee "
    "\xfd\xf2\xe0\xe6\xe0 \xf3 \xeb\xe5\xf1\xf2\xed\xe8\xf6\xfb",
    "\xd2\xc5\xd5\xcd\xce\xcb\xce\xc3\xc8\xdf: \xce\xd4\xc8\xd1 \xca\xee\xf2\xe5\xeb\xfc\xed\xe0\xff, "
    "\xe4\xe0\xe2\xeb\xe5\xed\xe8\xe5 \xe2\xee\xe4\xfb \xed\xe8\xe6\xe5 \xed\xee\xf0\xec\xfb",
    "\xce\xd2\xca\xc0\xc7: \xcd\xc5\xd2 \xd1\xc2\xdf\xc7\xc8 \xd1 \xca\xce\xcc\xcf\xcb\xc5\xca\xd1\xce\xcc "
    "\xd1\xca\xcb\xc0\xc4 \xe8 \xce\xd4\xc8\xd1",
};
const char* const codes[] = {"07", "08", "51", "23"};

QByteArray monthOfLines(QDate first)
{
    const qint64 seconds = qint64(first.daysTo(first.addMonths(1))) * 86400;
    QByteArray lines;
    lines.reserve(qsizetype(LinesPerMonth) * 100);
    for (int n = 0; n < LinesPerMonth; ++n) {
        const qint64 at = seconds * n / LinesPerMonth;
        const QDate day = first.addDays(at / 86400);
        const int kind = n % 11 == 0 ? 0 : n % 3 + 1;
        const int second = int(at % 86400);
        lines += '0' + QByteArray::number(n % 4) + "/\xc8" + QByteArray::number(10 + n % 80) + '-'
                 + QByteArray::number(10 + n % 50) + '/' + codes[kind] + ' '
                 + day.toString(QStringLiteral("dd.MM.yyyy")).toLatin1() + ' ' + QByteArray::number(second / 3600)
                 + ':' + QByteArray::number(second / 60 % 60).rightJustified(2, '0') + ':'
                 + QByteArray::number(second % 60).rightJustified(2, '0') + ' ' + texts[kind]
                 + " \xe4\xe0\xf2\xf7\xe8\xea " + QByteArray::number(10000 + n % 90000) + "\r\n";
    }
    return lines;
}

} // namespace

bool writeTenYearArchive(const QString& folder, QTextStream& out)
{
    const QDir dir(folder);
    if (dir.exists(QStringLiteral("KirvanMonitorP.txt"))) {
        out << "archive: kept as it is in " << folder << Qt::endl;
        return true;
    }
    QElapsedTimer timer;
    timer.start();
    qint64 bytes = 0;
    const QDate first(2016, 12, 1);
    for (int month = 0; month <= Months; ++month) {
        const QDate begins = first.addMonths(month);
        // The month under way is the log itself; every earlier one was rotated on the next's first day.
        const QString name = month == Months ? QStringLiteral("KirvanMonitorP.txt")
                                             : QStringLiteral("KirvanMonitorP.txt-")
                                                   + begins.addMonths(1).toString(QStringLiteral("yyyyMMdd"));
        QFile file(dir.filePath(name));
        const QByteArray lines = monthOfLines(begins);
        if (!file.open(QIODevice::WriteOnly) || file.write(lines) != lines.size()) {
            out << "journal-load: cannot write " << file.fileName() << Qt::endl;
            return false;
        }
        bytes += lines.size();
    }
    out << "archive: " << (Months + 1) << " files, " << qint64(Months + 1) * LinesPerMonth << " lines, "
        << bytes / (1 << 20) << " MiB, written in " << timer.elapsed() << " ms" << Qt::endl;
    return true;
}

} // namespace kirvan::load
