// kirvan-load: the workstation under load from the simulator.
//   kirvan-load stall DIR [ZONES [INTERVAL_MS]]
//       the window on the complex of DIR in this process; fires in ZONES (50) zones one every
//       INTERVAL_MS (200); prints the longest main-thread stall (wall clock and the thread's own
//       processor time), the longest pause between polls, the longest time from a fire frame's
//       last byte to its journal line and resident memory
//   kirvan-load heavy DIR [ZONES [INTERVAL_MS]]
//       as stall, with a 10000 x 7000 PNG plan in every fired zone, a 1 MB mailbox file and a
//       1,000,000-line log open in the journal viewer, a program of its own (written into DIR first)
//   kirvan-load soak DIR EVENTS_PER_SECOND|max MINUTES [WORKSTATION]
//       KirvanMonitorP (default: the one of this build) on DIR against the simulator; prints every
//       minute events sent, journal lines written, resident memory and processor time
//   kirvan-load presses DIR [COUNT [WORKSTATION]]
//       KirvanMonitorP on DIR against the simulator; presses F5 COUNT (1000) times at random
//       moments of the polling tick through the X server of DISPLAY; prints the hangs
#include "tools/kirvan-sim/SimComplex.h"
#include "tools/kirvan-load/PressRun.h"
#include "tools/kirvan-load/SoakRun.h"
#include "tools/kirvan-load/StallMeasurement.h"

#include <QApplication>
#include <QDir>

namespace {

int usage()
{
    QTextStream(stderr) << "usage: kirvan-load stall|heavy DIR [ZONES [INTERVAL_MS]]\n"
                           "       kirvan-load soak DIR EVENTS_PER_SECOND|max MINUTES [WORKSTATION]\n"
                           "       kirvan-load presses DIR [COUNT [WORKSTATION]]\n";
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTextStream out(stdout);
    const QStringList arguments = application.arguments().mid(1);
    const auto number = [&arguments](qsizetype at, double fallback) {
        bool ok = false;
        const double value = arguments.value(at).toDouble(&ok);
        return ok && value > 0 ? value : fallback;
    };
    try {
        if (arguments.size() >= 2 && (arguments[0] == QStringLiteral("stall") || arguments[0] == QStringLiteral("heavy")))
            return kirvan::load::measureStalls(QDir(arguments[1]).absolutePath(), static_cast<int>(number(2, 50)),
                                               static_cast<int>(number(3, 200)),
                                               arguments[0] == QStringLiteral("heavy"), out);
        if (arguments.size() >= 4 && arguments[0] == QStringLiteral("soak")) {
            const QString workstation = arguments.value(
                4, QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../../window/KirvanMonitorP")));
            const double rate = arguments[2] == QStringLiteral("max") ? 0 : number(2, 50);
            return kirvan::load::runSoak(
                {QDir(arguments[1]).absolutePath(), workstation, rate, static_cast<int>(number(3, 30))}, out);
        }
        if (arguments.size() >= 2 && arguments[0] == QStringLiteral("presses")) {
            const QString workstation = arguments.value(
                3, QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("../../window/KirvanMonitorP")));
            return kirvan::load::runPresses(
                {QDir(arguments[1]).absolutePath(), workstation, static_cast<int>(number(2, 1000))}, out);
        }
    } catch (const kirvan::sim::ComplexError& error) {
        out << "kirvan-load: " << error.what() << Qt::endl;
        return 2;
    }
    return usage();
}
