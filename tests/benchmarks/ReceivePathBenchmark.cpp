// The receive path at speed. The line carries at most about 62 frames a second; the targets
// leave room for bursts and slow disks: scanning and decoding at least 50 MB/s, processEvent
// with real file reads at least 5,000 records per second on one core.
#include "complex/ComplexFile.h"
#include "complex/CompositionTree.h"
#include "files/IniStore.h"
#include "files/SettingsFile.h"
#include "files/SettingsKeys.h"
#include "events/EventDispatcher.h"
#include "journal/EventTable.h"
#include "journal/JournalLog.h"
#include "link/FrameDecoder.h"
#include "link/FrameScanner.h"
#include "tests/support/FixedLocale.h"
#include "tests/support/FrameBytes.h"
#include "tests/support/RecordingEventServices.h"
#include "tests/support/TempFolder.h"

#include <benchmark/benchmark.h>
#include <random>

namespace kirvan {
namespace {

// Event frames with some noise between them, as a busy line delivers them.
testing::Bytes busyLine(std::size_t size)
{
    std::mt19937 random(7);
    testing::Bytes bytes;
    while (bytes.size() < size) {
        const auto byte = [&] { return static_cast<std::uint8_t>(random() & 0xFF); };
        const auto frame = testing::frameBytes(0x20, static_cast<std::uint8_t>(random() % 4), byte(), byte(), byte());
        bytes.insert(bytes.end(), frame.begin(), frame.end());
        if (random() % 10 == 0)
            bytes.push_back(byte());
    }
    return bytes;
}

void scanAndDecode(benchmark::State& state)
{
    const testing::Bytes bytes = busyLine(1 << 20);
    std::size_t records = 0;
    for (auto _ : state) {
        scanFrames(bytes.data(), bytes.size(), [&](const Frame& accepted) {
            Frame frame = accepted;
            if (frameKind(frame) == FrameKind::Event)
                records += static_cast<std::size_t>(decodeFrame(frame).size());
        });
    }
    benchmark::DoNotOptimize(records);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(scanAndDecode);

// A detector of the complex: system address, device, line and number.
struct DetectorPlace {
    int address;
    int device;
    int line;
    int number;

    QString id() const { return QStringLiteral("И%1%2-%3").arg(device).arg(line).arg(number, 2, 10, QLatin1Char('0')); }
};

// A workstation whose complex has `detectors` detectors, filling system by system (up to four),
// device by device (nine) and line by line (eight of 60), about 17 to a zone, all in the tree.
class Workstation {
public:
    explicit Workstation(int detectors)
    {
        constexpr int perLine = 60;
        constexpr int perDevice = 8 * perLine;
        constexpr int perSystem = 9 * perDevice;
        constexpr int perZone = 17;
        QString complex;
        std::vector<QString> detectorFiles;
        for (int d = 0; d < detectors; ++d) {
            const int inSystem = d % perSystem;
            const DetectorPlace place{d / perSystem, inSystem / perDevice, inSystem % perDevice / perLine + 1,
                                      inSystem % perLine + 1};
            if (inSystem == 0) {
                flushSystem(detectorFiles);
                const QString name = QStringLiteral("СИСТЕМА%1").arg(place.address);
                folder.writeText(name + QStringLiteral(".cnf"),
                                 QStringLiteral("[СИСТЕМА]\nАДРЕС=0%1\n").arg(place.address));
                settings.ini().writeString(settings::sectionAddress, QStringLiteral("0%1").arg(place.address),
                                           folder.file(name + QStringLiteral(".cnf")));
                complex += QStringLiteral("A0%1:%2\n").arg(place.address).arg(name);
                systemName = name;
            }
            if (inSystem % perZone == 0)
                complex += QStringLiteral("\tЗона %1\n").arg(inSystem / perZone + 1);
            detectorFiles.resize(static_cast<std::size_t>(place.device) + 1);
            detectorFiles[static_cast<std::size_t>(place.device)]
                += QStringLiteral("[%1]\nЗОНА=Зона %2\nТЕКСТ=Помещение %3\nТИП=ДЫМОВОЙ\nСОСТОЯНИЕ=ВКЛ\nX=3,5\nY=2\n")
                       .arg(place.id())
                       .arg(inSystem / perZone + 1)
                       .arg(d);
            complex += QStringLiteral("\t\t%1 Помещение\n").arg(place.id());
            places.push_back(place);
        }
        flushSystem(detectorFiles);
        ComplexFile::parseInto(tree, complex);
    }

    testing::TempFolder folder;
    testing::FixedLocale locale;
    testing::FixedClock clock;
    IniStore store{locale};
    SettingsFile settings{store, WorkstationFolder(folder.path())};
    EventTable table{settings.ini()};
    JournalLog log{folder.file(QStringLiteral("KirvanMonitorP.txt"))};
    CompositionTree tree;
    testing::RecordingAnnunciation alarms;
    testing::RecordingMarkers markers;
    testing::RecordingModules modules;
    testing::CountingWindow window;
    EventDispatcher dispatcher{EventEnvironment{settings, store, table, log, tree, clock, locale,
                                                EventServices{alarms, markers, modules, window}}};
    std::vector<DetectorPlace> places;

private:
    void flushSystem(std::vector<QString>& detectorFiles)
    {
        for (std::size_t device = 0; device < detectorFiles.size(); ++device)
            folder.writeText(QStringLiteral("%1.tb%2").arg(systemName).arg(device), detectorFiles[device]);
        detectorFiles.clear();
    }

    QString systemName;
};

// Faults, fires, contacts and state reports of random detectors: rows, lines, tree marks. The
// cost per record must not grow with the complex (argument: detectors; 17,280 is the largest
// complex).
void processEventReadingFiles(benchmark::State& state)
{
    Workstation workstation(static_cast<int>(state.range(0)));
    std::mt19937 random(11);
    const char* const codes[] = {"08", "07", "00", "24", "34", "99"};
    for (auto _ : state) {
        const DetectorPlace& place = workstation.places[random() % workstation.places.size()];
        const QString record
            = QStringLiteral("0%1/%2/%3").arg(place.address).arg(place.id(), QLatin1String(codes[random() % 6]));
        workstation.dispatcher.processEvent(record);
        workstation.alarms.calls.clear();
    }
    state.counters["records/s"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                     benchmark::Counter::kIsRate);
}
BENCHMARK(processEventReadingFiles)->Arg(100)->Arg(2000)->Arg(17280)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace kirvan
