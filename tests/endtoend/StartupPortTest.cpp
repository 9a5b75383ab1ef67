// The program as shipped, on a copy of the demo folder with the simulator on COM1, under strace:
// the line is opened once at start-up and stays open; the first frame of the polling cycle goes
// out on that opening once the cycle's silent start-up ticks are over.

#include "files/IniStore.h"
#include "tests/support/FixedLocale.h"
#include "tests/support/TempFolder.h"
#include "tools/kirvan-sim/SimComplex.h"
#include "tools/kirvan-sim/SimLine.h"

#include <QDateTime>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <set>

using namespace Qt::StringLiterals;

namespace kirvan::testing {
namespace {

TEST(StartupPortTest, TheLineIsOpenedOnceAndTheFirstPollGoesOutOnThatOpening)
{
    const QString strace = QStandardPaths::findExecutable(u"strace"_s);
    if (strace.isEmpty())
        GTEST_SKIP() << "strace is not installed";
    TempFolder folder;
    ASSERT_EQ(QProcess::execute(u"cp"_s, {u"-r"_s, QStringLiteral(KIRVAN_DEMO_FOLDER "/."), folder.path()}), 0);
    FixedLocale locale;
    IniStore store(locale);
    sim::SimComplex complex(store, folder.path());
    sim::SimLine simulator(complex, folder.path(), 1, [](const QString&) {});

    const double started = static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000;
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    environment.insert(u"ASAN_OPTIONS"_s, u"detect_leaks=0"_s);
    program.setProcessEnvironment(environment);
    program.start(strace, {u"-f"_s, u"-ttt"_s, u"-y"_s, u"-e"_s, u"trace=openat,close,write"_s, u"-o"_s,
                           folder.file(u"trace"_s), QStringLiteral(KIRVAN_MONITOR_PROGRAM), u"--dir"_s, folder.path(),
                           u"--com"_s, u"1"_s, u"--quit-after"_s, u"36"_s});
    ASSERT_TRUE(program.waitForFinished(120'000));
    const QString trace = folder.readText(u"trace"_s);
    if (trace.isEmpty())
        GTEST_SKIP() << "strace cannot trace here: " << program.readAllStandardError().toStdString();

    // The port search looks at the port (opens and closes it at once), then the port is opened.
    static const QRegularExpression line(uR"(^(\d+) +([\d.]+) (?:<\.\.\. \w+ resumed>)?(.*)$)"_s);
    static const QRegularExpression onPort(uR"(^(openat|close|write)\((?:.*/ports/COM1".*= )?(\d+)</dev/pts/)"_s);
    std::map<QString, QString> unfinished; // by thread: strace splits a call around another's
    QStringList firstSeconds;
    std::set<QString> portFds;
    double openedAt = 0;
    std::optional<double> firstPoll;
    for (const QString& text : trace.split(u'\n', Qt::SkipEmptyParts)) {
        const auto parts = line.match(text);
        QString& pending = unfinished[parts.captured(1)];
        const QString call = pending + parts.captured(3);
        pending = call.endsWith(u" <unfinished ...>"_s) ? call.chopped(17) : QString();
        const auto port = onPort.match(call);
        const QString name = port.captured(1);
        const double at = parts.captured(2).toDouble();
        if (!pending.isEmpty() || !port.hasMatch() || (name != u"openat"_s && !portFds.contains(port.captured(2))))
            continue; // unfinished, or not on the port (the terminal the tests run on)
        if (name == u"write"_s) {
            firstPoll = firstPoll.value_or(at - openedAt);
            continue;
        }
        if (at - started < 30.0)
            firstSeconds << name;
        if (name == u"close"_s) {
            portFds.erase(port.captured(2));
        } else {
            portFds.insert(port.captured(2));
            openedAt = at;
        }
    }
    EXPECT_EQ(firstSeconds.join(u' ').toStdString(), "openat close openat") << "within the first 30 s";
    // The load's tick is the first of the eight silent ones, and the opening follows the load.
    EXPECT_GT(firstPoll.value_or(0), 5.0) << "the first poll went out right after an opening";
    EXPECT_LT(firstPoll.value_or(0), 7.5);
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
}

} // namespace
} // namespace kirvan::testing
