// The journal viewer as the workstation starts it, Ctrl+F3 pressed under a real X server: a
// process of its own, started once, which holds neither the folder nor the workstation's stop,
// and whose own stop leaves no export looking complete.
#include "files/WorkstationLock.h"
#include "tests/keys/PrivateDisplay.h"
#include "tests/support/TempFolder.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <csignal>
#include <tuple>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirvan::testing {
namespace {

// Real time: real processes start as fast as the machine lets them.
template <class Condition> bool waitFor(Condition condition, int milliseconds = 20000)
{
    for (int waited = 0; waited < milliseconds; waited += 20) {
        if (condition())
            return true;
        QThread::msleep(20);
    }
    return condition();
}

QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished();
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

QStringList childrenOf(qint64 pid)
{
    QFile file(u"/proc/%1/task/%1/children"_s.arg(pid));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll()).split(u' ', Qt::SkipEmptyParts);
}

// Ended, or ended and not yet collected by whoever took it over.
bool ended(const QString& pid)
{
    QFile stat(u"/proc/%1/stat"_s.arg(pid));
    return !stat.open(QIODevice::ReadOnly) || stat.readAll().contains(") Z ");
}

QString windowOf(const QString& pid, const QString& name)
{
    for (const QString& id : run(u"xdotool"_s, {u"search"_s, u"--onlyvisible"_s, u"--pid"_s, pid}).split(u'\n'))
        if (!id.isEmpty() && run(u"xdotool"_s, {u"getwindowname"_s, id}) == name)
            return id;
    return {};
}

bool press(const QString& window, const QString& keys)
{
    return QProcess::execute(u"xdotool"_s, {u"windowfocus"_s, u"--sync"_s, window, u"key"_s, keys}) == 0;
}

// The viewer has read the log once its processor time stays the same for a while.
bool readTheLog(const QString& pid)
{
    QByteArray last;
    int quiet = 0;
    return waitFor([&] {
        QFile stat(u"/proc/%1/stat"_s.arg(pid));
        const QByteArray times = stat.open(QIODevice::ReadOnly) ? stat.readAll().split(' ').mid(13, 2).join() : "";
        quiet = times == std::exchange(last, times) ? quiet + 1 : 0;
        return quiet >= 30;
    }, 60000);
}

// Ctrl+E and the suggested file in the home folder taken: the viewer writes into it.
bool exportEverything(const QString& viewer, const QString& home)
{
    const auto pressIn = [&](const QString& name, const QString& keys) {
        QString window;
        return waitFor([&] { return !(window = windowOf(viewer, name)).isEmpty(); }) && press(window, keys);
    };
    const auto writing = [&] {
        const QFileInfoList files = QDir(u"/proc/%1/fd"_s.arg(viewer)).entryInfoList(QDir::System | QDir::Files);
        return std::ranges::any_of(files, [&](const QFileInfo& fd) { return fd.symLinkTarget().startsWith(home + u'/'); });
    };
    return readTheLog(viewer) && pressIn(u"Просмотр журнала"_s, u"ctrl+e"_s)
           && pressIn(u"Экспорт журнала в CSV"_s, u"Return"_s) && waitFor(writing);
}

// The lines of the log, whether the viewer exports them all (two million take it seconds) and
// whether it is stopped itself before the workstation.
class ViewerProgramTest : public ::testing::TestWithParam<std::tuple<int, bool, bool>> {};

INSTANTIATE_TEST_SUITE_P(Stops, ViewerProgramTest,
                         ::testing::Values(std::tuple{500000, false, false}, std::tuple{2000000, true, false},
                                           std::tuple{2000000, true, true}));

TEST_P(ViewerProgramTest, AStopEndsItsProcessAtOnceAndLeavesNoExportLookingComplete)
{
    const auto [count, exporting, viewerStopped] = GetParam();
    PrivateDisplay display;
    if (!display.running())
        GTEST_SKIP() << "Xvfb could not be started";
    TempFolder folder;
    TempFolder home;
    folder.writeText(u"KirvanMonitorP.ini"_s, u"[Настройки]\nCOM-порт=1\nТаблица=0\n[АДРЕС]\n00=\n"_s);
    ASSERT_TRUE(QDir(folder.path()).mkdir(u"ports"_s));
    ASSERT_TRUE(QFile::link(u"absent-adapter"_s, folder.path() + u"/ports/COM1"_s));
    QByteArray lines;
    for (int n = 0; n < count; ++n)
        lines += "01/\xc8" "12-05/07 08.12.2023 9:" + QByteArray::number(10 + n % 50) + ":00 \xcf\xce\xc6\xc0\xd0: "
                 + QByteArray::number(n) + "\r\n";
    folder.write(u"KirvanMonitorP.txt"_s, lines);

    QProcess workstation;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"QT_QPA_PLATFORM"_s, u"xcb"_s);
    environment.insert(u"ASAN_OPTIONS"_s, u"detect_leaks=0"_s);
    environment.insert(u"XDG_CACHE_HOME"_s, home.path());
    environment.insert(u"HOME"_s, home.path());
    workstation.setProcessEnvironment(environment);
    workstation.setStandardOutputFile(QProcess::nullDevice());
    workstation.setStandardErrorFile(home.file(u"stderr"_s));
    workstation.start(QStringLiteral(KIRVAN_MONITOR_PROGRAM), {u"--dir"_s, folder.path()});
    ASSERT_TRUE(workstation.waitForStarted());
    const QString pid = QString::number(workstation.processId());
    QString window;
    ASSERT_TRUE(waitFor([&] { return !(window = windowOf(pid, u"КирванМонитор"_s)).isEmpty(); }));
    const auto pressCtrlF3 = [&] { return press(window, u"ctrl+F3"_s); };
    ASSERT_TRUE(pressCtrlF3());
    ASSERT_TRUE(waitFor([&] { return !childrenOf(workstation.processId()).isEmpty(); }));
    const QStringList viewers = childrenOf(workstation.processId());
    ASSERT_EQ(viewers.size(), 1);
    EXPECT_TRUE(QFile::symLinkTarget(u"/proc/%1/exe"_s.arg(viewers.front())).endsWith(u"/kirvan-journal"_s));
    ASSERT_TRUE(pressCtrlF3());
    QThread::msleep(500);
    EXPECT_EQ(childrenOf(workstation.processId()), viewers) << "the running viewer comes forward, no second one";

    ASSERT_TRUE(!exporting || exportEverything(viewers.front(), home.path()));
    if (viewerStopped) {
        ::kill(viewers.front().toInt(), SIGTERM);
        EXPECT_TRUE(waitFor([&] { return ended(viewers.front()); }, 2000)) << "the viewer ends at its stop";
    }

    QElapsedTimer stop;
    stop.start();
    ::kill(pid_t(workstation.processId()), SIGTERM);
    ASSERT_TRUE(workstation.waitForFinished(20000));
    EXPECT_LT(stop.elapsed(), 2000);
    EXPECT_EQ(workstation.exitCode(), 0) << home.read(u"stderr"_s).toStdString();
    EXPECT_TRUE(WorkstationLock::acquire(folder.path(), nullptr, nullptr)) << "a new start may take the folder";
    EXPECT_TRUE(waitFor([&] { return ended(viewers.front()); }, 2000)) << "the viewer closes after the workstation";
    EXPECT_TRUE(folder.read(u"KirvanMonitorP.txt"_s).startsWith(lines)) << "the viewer wrote nothing";
    EXPECT_EQ(QDir(home.path()).entryList({u"*.csv"_s}), QStringList{}) << "no export half written";
}

} // namespace
} // namespace kirvan::testing
