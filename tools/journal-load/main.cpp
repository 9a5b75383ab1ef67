// journal-load [LINES] [FOLDER]: writes a text log of LINES journal lines (default 1,000,000) into
// FOLDER (default a temporary one) as the workstation writes them, then measures what the journal
// viewer does with it: reading the index, filtering one system's fires of a period, finding a
// text in every line, and the memory the process needed.
// journal-load archive FOLDER [CACHE]: the same on a ten-year archive (ArchiveMeasurement), its
// kept indexes in CACHE (default: a temporary folder, so the first open builds them).
#include "archive/JournalIndex.h"
#include "tools/journal-load/ArchiveMeasurement.h"
#include "platform/SystemLocale.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <sys/resource.h>

namespace {

// Lines of four systems over 40 days: mostly faults, fires, link reports and operator commands.
QByteArray generatedLog(int lines)
{
    static const char* const texts[] = {
        "\xce\xd2\xca\xc0\xc7: \xd1\xca\xcb\xc0\xc4 \xd6\xe5\xf5 1 \xca\xee\xf0\xe8\xe4\xee\xf0",
        "\xcf\xce\xc6\xc0\xd0: \xd1\xca\xcb\xc0\xc4 \xd6\xe5\xf5 2 \xd1\xea\xeb\xe0\xe4",
        "\xd1\xca\xcb\xc0\xc4: \xcd\xce\xd0\xcc\xc0", "\xd1\xca\xcb\xc0\xc4: \xca\xce\xcd\xd2\xd0\xce\xcb\xdc"};
    static const char* const codes[] = {"08", "07", "00", "01"};
    QByteArray log;
    log.reserve(qsizetype(lines) * 70);
    for (int n = 0; n < lines; ++n) {
        const int second = n * 3;
        const int day = 1 + second / 86400 % 28;
        const int kind = n % 7 == 0 ? 1 : n % 4;
        log += QByteArray("0") + QByteArray::number(n % 4) + "/\xc8" + QByteArray::number(10 + n % 80) + "-"
               + QByteArray::number(10 + n % 50) + "/" + codes[kind] + " " + (day < 10 ? "0" : "")
               + QByteArray::number(day) + ".12.2023 " + QByteArray::number(second / 3600 % 24) + ":"
               + QByteArray::number(10 + second / 60 % 50) + ":" + QByteArray::number(10 + second % 50) + " "
               + texts[kind] + "\r\n";
    }
    return log;
}

} // namespace

int main(int argc, char** argv)
{
    const QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    QTextStream out(stdout);
    if (arguments.size() > 2 && arguments[1] == QLatin1String("archive")) {
        const QTemporaryDir cache;
        return kirvan::load::measureArchive(arguments[2], arguments.size() > 3 ? arguments[3] : cache.path(), out);
    }
    const int lines = arguments.size() > 1 ? arguments[1].toInt() : 1000000;
    const QTemporaryDir temporary;
    const QString folder = arguments.size() > 2 ? arguments[2] : temporary.path();
    const QString log = folder + QStringLiteral("/KirvanMonitorP.txt");
    {
        QFile file(log);
        if (!file.open(QIODevice::WriteOnly) || file.write(generatedLog(lines)) < 0) {
            out << "journal-load: cannot write " << log << '\n';
            return 1;
        }
        out << "log: " << lines << " lines, " << file.size() / (1 << 20) << " MiB\n";
    }
    const kirvan::SystemLocale locale;
    QElapsedTimer timer;
    timer.start();
    const kirvan::JournalIndex index = kirvan::JournalIndex::build(log, kirvan::JournalDateOrder(locale));
    out << "index of " << index.size() << " lines: " << timer.elapsed() << " ms\n";

    kirvan::JournalFilter fires;
    fires.address = 2;
    fires.kinds = kirvan::kindBit(kirvan::JournalKind::Fire);
    fires.from = QDateTime(QDate(2023, 12, 5), QTime(0, 0));
    fires.to = QDateTime(QDate(2023, 12, 12), QTime(0, 0));
    timer.restart();
    const auto shown = index.select(fires);
    out << "system 2 fires of a week: " << shown.size() << " lines in " << timer.elapsed() << " ms\n";
    kirvan::JournalFilter text;
    text.text = QStringLiteral("и55-3");
    timer.restart();
    const auto found = index.select(text);
    out << "text in every line: " << found.size() << " lines in " << timer.elapsed() << " ms\n";
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    out << "peak memory (with the generated log held once): " << usage.ru_maxrss / 1024 << " MiB\n";
    return 0;
}
