// kirvan-sim: plays the alarm systems of a workstation folder on a pseudo-terminal linked as its
// ports/COMn. Usage: kirvan-sim --dir FOLDER [--com N] [--script FILE]

#include "files/IniStore.h"
#include "platform/MessageLanguage.h"
#include "platform/SystemLocale.h"
#include "tools/kirvan-sim/SimComplex.h"
#include "tools/kirvan-sim/SimLine.h"
#include "tools/kirvan-sim/SimScript.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <mutex>
#include <string>
#include <thread>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

std::mutex outputMutex;

void print(std::FILE* stream, const QString& text)
{
    std::lock_guard lock(outputMutex);
    std::fprintf(stream, "%s\n", text.toUtf8().constData());
    std::fflush(stream);
}

void logLine(const QString& text)
{
    print(stdout, QDateTime::currentDateTime().toString(QStringLiteral("hh:mm:ss.zzz ")) + text);
}

void requestQuit()
{
    kill(getpid(), SIGTERM);
}

// The script's steps in their time; a pause ends early when the simulator quits.
class ScriptRunner {
public:
    ScriptRunner(kirvan::sim::SimLine& line, kirvan::sim::Script script)
        : line_(line), script_(std::move(script)), thread_([this] { run(); })
    {}
    ~ScriptRunner()
    {
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        stopped_.notify_all();
        thread_.join();
    }

private:
    void run()
    {
        for (const auto& step : script_.steps) {
            std::unique_lock lock(mutex_);
            if (step.waitSeconds > 0) {
                if (stopped_.wait_for(lock, std::chrono::duration<double>(step.waitSeconds), [this] { return stopping_; }))
                    return;
                continue;
            }
            if (stopping_)
                return;
            lock.unlock();
            logLine(QStringLiteral("script: ") + step.text);
            line_.execute(step.command);
        }
        logLine(QStringLiteral("script: done"));
    }

    kirvan::sim::SimLine& line_;
    const kirvan::sim::Script script_;
    std::mutex mutex_;
    std::condition_variable stopped_;
    bool stopping_ = false;
    std::thread thread_;
};

// The interactive prompt; at the end of its input the simulator keeps running until a signal.
void promptLoop(kirvan::sim::SimLine& line)
{
    const bool terminal = isatty(STDIN_FILENO) != 0;
    std::string text;
    while (true) {
        if (terminal)
            print(stdout, QStringLiteral("kirvan-sim> "));
        if (!std::getline(std::cin, text))
            return;
        const QString command = QString::fromStdString(text).trimmed();
        if (command.isEmpty())
            continue;
        if (command == u"quit" || command == u"exit") {
            requestQuit();
            return;
        }
        if (command == u"help") {
            print(stdout,
                  kirvan::sim::commandSummary() + QStringLiteral("quit                        end the simulator"));
            continue;
        }
        if (const auto error = line.execute(command))
            print(stderr, QStringLiteral("kirvan-sim: ") + *error);
    }
}

QString indented(const QString& lines)
{
    QString out;
    for (const QString& line : lines.split(u'\n', Qt::SkipEmptyParts))
        out += QStringLiteral("  ") + line + u'\n';
    return out;
}

QString usage()
{
    if (kirvan::messageLanguage() == kirvan::MessageLanguage::Russian)
        return QStringLiteral("Использование: kirvan-sim --dir ПАПКА [--com N] [--script ФАЙЛ]\n"
                              "Имитатор комплекса: играет системы сигнализации папки рабочего места на псевдотерминале,\n"
                              "связанном с её ports/COMn.\n"
                              "  --dir ПАПКА      папка рабочего места: её настройки, файлы систем и извещателей\n"
                              "  --com N          номер порта n в ports/COMn, от 1 до 10 (по умолчанию 1)\n"
                              "  --script ФАЙЛ    сценарий (UTF-8), одна команда в строке; wait СЕКУНДЫ — пауза\n"
                              "  --help           показать эту справку\n"
                              "  --version        показать версию\n"
                              "Команды в приглашении и в сценарии (АДРЕС — адрес системы 0–3):\n")
               + indented(kirvan::sim::commandSummary());
    return QStringLiteral("Usage: kirvan-sim --dir FOLDER [--com N] [--script FILE]\n"
                          "Complex simulator: plays the alarm systems of a workstation folder on a pseudo-terminal\n"
                          "linked as its ports/COMn.\n"
                          "  --dir FOLDER     the workstation folder: its settings, system and detector files\n"
                          "  --com N          the port number n of ports/COMn, 1 to 10 (default 1)\n"
                          "  --script FILE    a script (UTF-8), one command a line; wait SECONDS pauses\n"
                          "  --help           show this text\n"
                          "  --version        show the version\n"
                          "Commands at the prompt and in a script (ADDRESS is the system address 0 to 3):\n")
           + indented(kirvan::sim::commandSummary());
}

} // namespace

int main(int argc, char** argv)
{
    // SIGINT and SIGTERM end the simulator through sigwait below, so that the port's link is
    // removed; every thread started from here inherits the blocked set.
    sigset_t quitSignals;
    sigemptyset(&quitSignals);
    sigaddset(&quitSignals, SIGINT);
    sigaddset(&quitSignals, SIGTERM);
    sigaddset(&quitSignals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &quitSignals, nullptr);

    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.contains(u"--help"_s)) {
        std::fputs(usage().toUtf8().constData(), stdout);
        return 0;
    }
    if (arguments.contains(u"--version"_s)) {
        std::printf("kirvan-sim %s\n", KIRVAN_VERSION);
        return 0;
    }
    QCommandLineParser parser;
    const QCommandLineOption dir(QStringLiteral("dir"), QStringLiteral("The workstation folder."),
                                 QStringLiteral("FOLDER"));
    const QCommandLineOption com(QStringLiteral("com"), QStringLiteral("Port number n of ports/COMn (default 1)."),
                                 QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption script(QStringLiteral("script"), QStringLiteral("A script of timed commands."),
                                    QStringLiteral("FILE"));
    parser.addOptions({dir, com, script});
    parser.process(application);
    bool comOk = false;
    const int comNumber = parser.value(com).toInt(&comOk);
    if (!parser.isSet(dir) || !comOk || comNumber < 1 || comNumber > 10) {
        print(stderr, QStringLiteral("usage: kirvan-sim --dir FOLDER [--com 1..10] [--script FILE]"));
        return 2;
    }

    const kirvan::SystemLocale locale;
    kirvan::IniStore store(locale);
    try {
        kirvan::sim::SimComplex complex(store, parser.value(dir));
        kirvan::sim::Script steps;
        if (parser.isSet(script)) {
            steps = kirvan::sim::readScript(parser.value(script), complex);
            if (!steps.errors.isEmpty()) {
                for (const QString& error : steps.errors)
                    print(stderr, QStringLiteral("kirvan-sim: ") + error);
                return 1;
            }
        }
        kirvan::sim::SimLine line(complex, parser.value(dir), comNumber, logLine);
        for (const auto& system : complex.systems())
            logLine(QStringLiteral("playing system %1 %2 (%3 detectors)")
                        .arg(system.address)
                        .arg(system.name)
                        .arg(system.detectors.size()));
        logLine(QStringLiteral("listening on %1").arg(line.linkPath()));
        std::unique_ptr<ScriptRunner> runner;
        if (parser.isSet(script))
            runner = std::make_unique<ScriptRunner>(line, std::move(steps));
        std::thread(promptLoop, std::ref(line)).detach();
        int signal = 0;
        sigwait(&quitSignals, &signal);
        runner.reset();
        logLine(QStringLiteral("stopped"));
        // The prompt thread may still wait for input; it ends with the process.
    } catch (const kirvan::sim::ComplexError& error) {
        print(stderr, QStringLiteral("kirvan-sim: ") + QString::fromStdString(error.what()));
        return 1;
    }
    return 0;
}
