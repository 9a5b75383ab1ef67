#include "tests/support/PrivateBroker.h"
#include "tests/support/RemoteStation.h"
#include "tests/support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <functional>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirvan::testing {
namespace {

// The program as an installer and a service manager meet it: a process of its own.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A workstation that has run before, so that its start-up line shows it is up.
        folder.writeText(u"KirvanMonitorP.ini"_s, u"[Настройки]\nCOM-порт=1\nТаблица=0\n[АДРЕС]\n00=\n"_s);
        // COM1 is an adapter that is not plugged in, never the serial port of the machine the tests
        // run on: opening a real UART may take its time or disturb what is connected to it.
        ASSERT_TRUE(QDir(folder.path()).mkdir(u"ports"_s));
        ASSERT_TRUE(QFile::link(u"absent-adapter"_s, folder.path() + u"/ports/COM1"_s));
    }

    static QProcessEnvironment environment(bool display)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString& name : {u"DISPLAY"_s, u"WAYLAND_DISPLAY"_s, u"QT_QPA_PLATFORM"_s})
            environment.remove(name);
        if (display)
            environment.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        // Leaks of the toolkit's libraries at exit are not what these tests look at.
        environment.insert(u"ASAN_OPTIONS"_s, u"detect_leaks=0"_s);
        return environment;
    }

    void start(QProcess& program, const QStringList& arguments, bool display = true) const
    {
        program.setProcessEnvironment(environment(display));
        program.start(QStringLiteral(KIRVAN_MONITOR_PROGRAM), arguments);
        ASSERT_TRUE(program.waitForStarted());
    }
    QStringList workstationArguments() const { return {u"--dir"_s, folder.path()}; }

    QString log() const { return folder.readText(u"KirvanMonitorP.txt"_s); }
    // Real time: the program starts as fast as the machine lets it, within seconds.
    bool waitForLog(const QString& text) const
    {
        for (int waited = 0; waited < 20000; waited += 20) {
            if (log().contains(text))
                return true;
            QThread::msleep(20);
        }
        return false;
    }
    // The start-up has written what it writes (the start-up line, a missing sound device).
    void waitForQuietLog() const
    {
        QString last = log();
        for (int quiet = 0, waited = 0; quiet < 1000 && waited < 20000; waited += 100) {
            QThread::msleep(100);
            const QString now = log();
            quiet = now == last ? quiet + 100 : 0;
            last = now;
        }
    }
    QStringList snapshot() const
    {
        QStringList entries;
        for (const QString& name : QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot))
            entries << name + u'=' + QString::fromLatin1(folder.read(name).toHex());
        return entries;
    }

    TempFolder folder;
};

TEST_F(ProgramTest, HelpAndVersionNeedNoDisplay)
{
    for (const QString& option : {u"--help"_s, u"--version"_s}) {
        QProcess program;
        start(program, {option}, false);
        ASSERT_TRUE(program.waitForFinished());
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << option.toStdString();
        EXPECT_EQ(program.exitCode(), 0) << option.toStdString() << program.readAllStandardError().toStdString();
        EXPECT_TRUE(program.readAllStandardOutput().contains("KirvanMonitorP"));
    }
}

class StopSignalTest : public ProgramTest, public ::testing::WithParamInterface<int> {};

TEST_P(StopSignalTest, EndsLikeExitWithTheShutDownLine)
{
    QProcess program;
    start(program, workstationArguments());
    ASSERT_TRUE(waitForLog(u"КОМПЛЕКС КИРВАН ВКЛЮЧЕН"_s));
    ::kill(static_cast<pid_t>(program.processId()), GetParam());
    ASSERT_TRUE(program.waitForFinished(20000));
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
    EXPECT_TRUE(log().endsWith(u"  КОМПЛЕКС КИРВАН ВЫКЛЮЧЕН\r\n"_s)) << log().toStdString();
}

INSTANTIATE_TEST_SUITE_P(ServiceStopCtrlCAndLogout, StopSignalTest, ::testing::Values(SIGTERM, SIGINT, SIGHUP));

// A box of the start-up (a system at an address the program does not serve) waits for an
// operator who is not there: the service stop and --quit-after end the program all the same.
TEST_F(ProgramTest, AStopEndsTheProgramWhileAMessageBoxOfTheStartUpWaits)
{
    folder.writeText(u"kirvanmonitorp.cnf"_s, u"A07:ЧУЖАЯ\n"_s);
    for (const bool signalled : {true, false}) {
        SCOPED_TRACE(signalled ? "SIGTERM" : "--quit-after");
        QFile::remove(folder.file(u"KirvanMonitorP.txt"_s));
        QProcess program;
        start(program,
              signalled ? workstationArguments() : workstationArguments() + QStringList{u"--quit-after"_s, u"2"_s});
        ASSERT_TRUE(waitForLog(u"КОМПЛЕКС КИРВАН ВКЛЮЧЕН"_s));
        if (signalled) {
            QThread::msleep(1000); // the box is open by then
            program.terminate();
        }
        ASSERT_TRUE(program.waitForFinished(20000)) << "the box held the program";
        EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();
        EXPECT_TRUE(log().endsWith(u"  КОМПЛЕКС КИРВАН ВЫКЛЮЧЕН\r\n"_s)) << log().toStdString();
        if (program.state() != QProcess::NotRunning)
            program.kill();
    }
}

TEST_F(ProgramTest, SecondStartOnTheSameFolderSaysSoAndWritesNothing)
{
    QProcess first;
    start(first, workstationArguments());
    ASSERT_TRUE(waitForLog(u"КОМПЛЕКС КИРВАН ВКЛЮЧЕН"_s));
    waitForQuietLog();
    const QStringList before = snapshot();

    QProcess second;
    start(second, workstationArguments());
    ASSERT_TRUE(second.waitForFinished(20000));
    EXPECT_EQ(second.exitCode(), 1);
    EXPECT_TRUE(QString::fromLocal8Bit(second.readAllStandardError())
                    .contains(u"Программа уже запущена для папки "_s + folder.path()));
    EXPECT_EQ(snapshot(), before);

    first.terminate();
    ASSERT_TRUE(first.waitForFinished(20000));
    EXPECT_EQ(log().count(u"ВЫКЛЮЧЕН"_s), 1) << "only the first one's own shut-down line";
}

// Settings that cannot be read, and a user file that others could change to give themselves
// any level, each end the start before anything is logged.
TEST_F(ProgramTest, UntrustedFilesEndTheStartBeforeTheStartUpLine)
{
    const QString settings = folder.file(u"KirvanMonitorP.ini"_s);
    const QString users = folder.file(u"KirvanMonitorP.users"_s);
    const struct {
        std::function<void()> spoil;
        std::function<void()> mend;
        QStringList told;
    } cases[] = {
        {[&] {
             QFile::rename(settings, settings + u".kept"_s);
             ASSERT_TRUE(QDir(folder.path()).mkdir(u"KirvanMonitorP.ini"_s));
         },
         [&] {
             QDir(folder.path()).rmdir(u"KirvanMonitorP.ini"_s);
             QFile::rename(settings + u".kept"_s, settings);
         },
         {u"Не удалось открыть или создать файл настроек"_s, u"это папка, а не файл"_s}},
        {[&] {
             folder.writeText(u"KirvanMonitorP.users"_s, u"Иванов:2:$argon2id$v=19$m=8,t=1,p=1$c2FsdHNhbHQ$aGFzaA\n"_s);
             QFile::setPermissions(users, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::WriteGroup);
         },
         [&] { QFile::remove(users); },
         {u"Файл пользователей"_s, u"chmod 600"_s}},
    };
    for (const auto& c : cases) {
        c.spoil();
        QProcess program;
        start(program, workstationArguments());
        ASSERT_TRUE(program.waitForFinished(20000));
        EXPECT_EQ(program.exitCode(), 1);
        const QString told = QString::fromLocal8Bit(program.readAllStandardError());
        for (const QString& words : c.told)
            EXPECT_TRUE(told.contains(words)) << told.toStdString();
        EXPECT_FALSE(QFile::exists(folder.file(u"KirvanMonitorP.txt"_s))) << "no start-up line, no shut-down line";
        c.mend();
    }
}

} // namespace
} // namespace kirvan::testing

namespace kirvan::testing {
namespace {

TEST_F(ProgramTest, AWorkstationKilledAndStartedAgainPublishesEveryLineOnce)
{
    if (!PrivateBroker::available())
        GTEST_SKIP() << "mosquitto is not installed";
    PrivateBroker broker;
    ASSERT_TRUE(broker.start());
    Station station(broker);
    ASSERT_TRUE(station.awaitConnected());
    folder.writeText(u"KirvanMonitorP.ini"_s, u"[Настройки]\nCOM-порт=1\nТаблица=0\n[АДРЕС]\n00=\n[MQTT]\nСервер="_s
                                                  + broker.server() + u"\nПрефикс=kirvan/ws\n"_s);
    QProcess first;
    start(first, workstationArguments());
    ASSERT_TRUE(waitForLog(u"КОМПЛЕКС КИРВАН ВКЛЮЧЕН"_s));
    ASSERT_FALSE(station.await(1).empty());
    waitForQuietLog();
    ::kill(pid_t(first.processId()), SIGKILL);
    ASSERT_TRUE(first.waitForFinished(20000));
    // Lines the killed workstation never published.
    QFile file(folder.file(u"KirvanMonitorP.txt"_s));
    ASSERT_TRUE(file.open(QIODevice::Append));
    for (int i = 0; i < 20; ++i)
        file.write("08.12.2023 9:15:02  LINE " + QByteArray::number(i) + "\r\n");
    file.close();

    QProcess second;
    start(second, workstationArguments());
    ASSERT_TRUE(waitForLog(u"LINE 19\r\n"_s));
    const QStringList lines = log().split(u"\r\n"_s, Qt::SkipEmptyParts);
    const auto once = station.awaitOnce(std::size_t(lines.size()));
    second.terminate();
    ASSERT_TRUE(second.waitForFinished(20000));
    QStringList published;
    for (const QJsonObject& event : once)
        published << event.value(u"text"_s).toString();
    // The second start's own lines may still be on their way; everything before them is there.
    const qsizetype before = lines.indexOf(u"08.12.2023 9:15:02  LINE 19"_s) + 1;
    EXPECT_EQ(published.mid(0, before).join(u'\n').toStdString(), lines.mid(0, before).join(u'\n').toStdString());
}

} // namespace
} // namespace kirvan::testing
