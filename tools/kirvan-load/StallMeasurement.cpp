#include "tools/kirvan-load/StallMeasurement.h"

#include "files/IniStore.h"
#include "window/MainWindow.h"
#include "app/PanelLine.h"
#include "link/FrameDecoder.h"
#include "platform/ChildProgram.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/QtDesktopShell.h"
#include "platform/QtMessageLoop.h"
#include "platform/WorkerThread.h"
#include "platform/QtSound.h"
#include "platform/SystemLocale.h"
#include "plans/QtPictureLoader.h"
#include "tools/kirvan-sim/SimComplex.h"
#include "tools/kirvan-sim/SimLine.h"
#include "tools/kirvan-load/HeavySite.h"
#include "tools/kirvan-load/ProcessFigures.h"
#include "tools/kirvan-load/ZoneDetectors.h"

#include <QApplication>
#include <QDir>
#include <deque>
#include <mutex>
#include <QTimer>
#include <chrono>
#include <ctime>
#include <unistd.h>

namespace kirvan::load {

namespace {

using Clock = std::chrono::steady_clock;

double milliseconds(Clock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

std::chrono::nanoseconds wallClock()
{
    return Clock::now().time_since_epoch();
}

// Processor time of the calling thread: what the main thread itself spent, whatever other
// programs on the machine took from it meanwhile.
std::chrono::nanoseconds threadProcessorTime()
{
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

// The longest time between two moments, once started, on the given clock.
class LongestGap {
public:
    explicit LongestGap(std::chrono::nanoseconds (*now)() = wallClock) : now_(now) {}
    void start()
    {
        last_ = now_();
        longest_ = {};
        started_ = true;
    }
    void mark()
    {
        const auto now = now_();
        if (started_)
            longest_ = std::max(longest_, now - last_);
        last_ = now;
    }
    double longestMs() const { return milliseconds(longest_); }

private:
    std::chrono::nanoseconds (*now_)();
    std::chrono::nanoseconds last_{};
    std::chrono::nanoseconds longest_{};
    bool started_ = false;
};

// The workstation's port, with the start of every frame it sends marked: the address byte goes
// with the mark parity.
class WatchedPort final : public LinkPort {
public:
    WatchedPort(LinkPort& port, LongestGap& frames) : port_(port), frames_(frames) {}
    int inCount() override { return port_.inCount(); }
    std::uint8_t readByte() override { return port_.readByte(); }
    void setParity(Parity parity) override
    {
        if (parity == Parity::mark)
            frames_.mark();
        port_.setParity(parity);
    }
    int outFree() override { return port_.outFree(); }
    void writeByte(std::uint8_t byte) override { port_.writeByte(byte); }
    bool allSent() override { return port_.allSent(); }
    void close() override { port_.close(); }
    void openNumber(int comNumber) override { port_.openNumber(comNumber); }
    bool isOpen() const override { return port_.isOpen(); }
    bool deviceLost() const override { return port_.deviceLost(); }
    int openError() const override { return port_.openError(); }
    bool probe(int comNumber) override { return port_.probe(comNumber); }
    void setOnBytesArrived(BytesArrivedHandler handler) override { port_.setOnBytesArrived(std::move(handler)); }

private:
    LinkPort& port_;
    LongestGap& frames_;
};

// Nobody is there to answer: every message box is printed and taken as confirmed.
class AnsweringDialogs final : public Dialogs {
public:
    explicit AnsweringDialogs(QTextStream& out) : out_(out) {}
    void notice(const QString& caption, const QString& text, Icon) override
    {
        out_ << "notice " << caption << ": " << text << Qt::endl;
    }
    Answer messageBox(const QString& caption, const QString& text, Icon, Buttons) override
    {
        out_ << "message box " << caption << ": " << text << Qt::endl;
        return Answer::Ok;
    }
    std::optional<QString> inputBox(const QString&, const QString&, const QString&) override { return {}; }
    std::optional<QString> openFile(const QString&, const QString&, const QString&) override { return {}; }

private:
    QTextStream& out_;
};

constexpr int comNumber = 1;
constexpr int settleMs = 1000; // the window lays itself out and paints
constexpr int warmUpMs = 8000; // the start-up ticks of the polling pass, the first polls go out
constexpr int drainMs = 3000; // the last fires reach the journal

} // namespace

int measureStalls(const QString& folder, int zones, int intervalMs, bool heavy, QTextStream& out)
{
    const std::vector<Target> targets = spread(firstDetectorOfEachZone(folder), static_cast<std::size_t>(zones));
    if (targets.empty()) {
        out << "no zone with a detector in " << folder << Qt::endl;
        return 1;
    }
    if (heavy)
        prepareHeavySite(folder, targets, out);
    QtMessageLoop loop;
    loop.setErrorHandler([&out](const std::exception& failure) { out << "error: " << failure.what() << Qt::endl; });
    const SystemLocale locale;
    const SystemClock clock;
    QtDesktopShell shell;
    QtSound sound;
    const QtPictureLoader pictures(QStringLiteral(KIRVAN_PLAN_DECODER));
    ThreadWorkers workers(loop);
    AnsweringDialogs dialogs(out);
    PanelLine panelLine(loop, folder);
    // The journal viewer of the build tree, a program of its own as the workstation starts it.
    ChildProgram journalViewer(QStringLiteral(KIRVAN_JOURNAL_PROGRAM),
                               {QStringLiteral("--dir"), folder, QStringLiteral("--from-workstation")});
    LongestGap frames;
    WatchedPort port(panelLine.port(), frames);

    const auto loadStart = Clock::now();
    auto window = std::make_unique<MainWindow>(
        PlatformServices{loop, dialogs, shell, clock, locale, port, sound, pictures, workers, journalViewer}, WorkstationFolder(folder));
    window->show();
    out << "start-up with " << window->workstation().tree().count()
        << " nodes: " << QString::number(milliseconds(Clock::now() - loadStart), 'f', 0) << " ms" << Qt::endl;

    // The simulator comes after the workstation's memory is measured.
    IniStore simulatorStore(locale);
    std::unique_ptr<sim::SimComplex> complex;
    std::unique_ptr<sim::SimLine> line;

    LongestGap mainThread;
    LongestGap mainThreadWork(threadProcessorTime);
    QTimer heartbeat;
    heartbeat.setTimerType(Qt::PreciseTimer);
    QObject::connect(&heartbeat, &QTimer::timeout, [&mainThread, &mainThreadWork] {
        mainThread.mark();
        mainThreadWork.mark();
    });
    heartbeat.start(1);

    // From a fire frame's last byte on the line to its line in the journal.
    std::mutex firesWrittenMutex;
    std::deque<Clock::time_point> firesWritten;
    std::size_t firesJournalled = 0;
    qsizetype historySeen = 0;
    double longestToJournal = 0;
    const auto followJournal = [&] {
        const QStringList& history = window->workstation().log().history().list();
        for (; historySeen < history.size(); ++historySeen) {
            if (history[historySeen].mid(9, 3) != QStringLiteral("/07"))
                continue;
            std::lock_guard lock(firesWrittenMutex);
            if (firesWritten.empty())
                continue;
            longestToJournal = std::max(longestToJournal, milliseconds(Clock::now() - firesWritten.front()));
            firesWritten.pop_front();
            ++firesJournalled;
        }
    };
    QObject::connect(&heartbeat, &QTimer::timeout, followJournal);
    std::size_t fired = 0;
    QTimer fires;
    QObject::connect(&fires, &QTimer::timeout, [&] {
        const Target& target = targets[fired++];
        line->execute(
            sim::SimCommand{sim::SimCommand::Action::Event, sim::EventKind::Fire, target.address, target.point, 0});
        if (fired == targets.size())
            fires.stop();
    });

    QTimer::singleShot(settleMs, [&] {
        out << "resident with the complex loaded and shown: "
            << megabytes(processFigures(getpid()).value_or(ProcessFigures{}).residentKb) << Qt::endl;
        try {
            complex = std::make_unique<sim::SimComplex>(simulatorStore, folder);
            line = std::make_unique<sim::SimLine>(*complex, folder, comNumber, [](const QString&) {});
            line->setOnWritten([&](const std::vector<std::uint8_t>& item, Clock::time_point at) {
                if (item.size() != Frame().size())
                    return;
                Frame frame;
                std::copy(item.begin(), item.end(), frame.begin());
                if (frameKind(frame) != FrameKind::Event || !decodeFrame(frame).endsWith(QStringLiteral("/07")))
                    return;
                std::lock_guard lock(firesWrittenMutex);
                firesWritten.push_back(at);
            });
        } catch (const sim::ComplexError& error) {
            out << "simulator: " << error.what() << Qt::endl;
            QApplication::exit(1);
            return;
        }
        window->workstation().link().ports().choosePort(comNumber);
    });
    QTimer::singleShot(settleMs + warmUpMs, [&] {
        mainThread.start();
        mainThreadWork.start();
        frames.start();
        fires.start(intervalMs);
        // The viewer reads the archive in its own process, while the workstation is measured.
        if (heavy && !journalViewer.show())
            out << "the journal viewer could not be started" << Qt::endl;
    });
    const int endMs = settleMs + warmUpMs + static_cast<int>(targets.size()) * intervalMs + drainMs;
    QTimer::singleShot(endMs, [&] {
        const double stall = mainThread.longestMs();
        const double pause = frames.longestMs();
        int journalled = 0;
        for (const QString& entry : window->workstation().log().history().list())
            journalled += entry.mid(9, 3) == QStringLiteral("/07") ? 1 : 0;
        out << "fires sent in " << targets.size() << " zones, one every " << intervalMs
            << " ms; fire lines in the journal: " << journalled << Qt::endl
            << "longest from a fire frame's last byte to its journal line: " << QString::number(longestToJournal, 'f', 1)
            << " ms over " << firesJournalled << " fires (target < 300 ms)" << Qt::endl
            << "longest main-thread stall: " << QString::number(stall, 'f', 1) << " ms (target < 50 ms)" << Qt::endl
            << "longest main-thread work between two turns of the message loop: "
            << QString::number(mainThreadWork.longestMs(), 'f', 1)
            << " ms of its own processor time (without the time other programs held the core)" << Qt::endl
            << "longest pause between frames sent: " << QString::number(pause, 'f', 1)
            << " ms (polling period 800 ms, target < 900 ms)" << Qt::endl
            << "resident at the end: " << megabytes(processFigures(getpid()).value_or(ProcessFigures{}).residentKb)
            << Qt::endl;
        // quit() would first close the window, which during the alarm is refused until the
        // operator confirms; the window goes after the loop instead.
        QApplication::exit(0);
    });
    const int status = QApplication::exec();
    heartbeat.stop();
    window.reset();
    // Before the simulator's end of the line goes.
    panelLine.port().close();
    return status;
}

} // namespace kirvan::load
