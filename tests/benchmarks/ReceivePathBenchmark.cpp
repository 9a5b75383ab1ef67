// The receive path at speed. The line carries at most about 62 frames a second; the targets
// leave room for bursts and slow disks: scanning and decoding at least 50 MB/s, ProcessEvent
// with real file reads at least 5,000 records per second on one core.
#include "config/ComplexFile.h"
#include "config/CompositionTree.h"
#include "config/IniStore.h"
#include "config/SettingsFile.h"
#include "config/SettingsKeys.h"
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

void ScanAndDecode(benchmark::State& state)
{
    const testing::Bytes bytes = busyLine(1 << 20);
    std::size_t records = 0;
    for (auto _ : state) {
        scanFrames(bytes.data(), bytes.size(), [&](const Frame& accepted) {
            Frame frame = accepted;
            if (frameKind(frame) == FrameKind::Event)
                records += static_cast<std::size_t>(DecodeFrame(frame).size());
        });
    }
    benchmark::DoNotOptimize(records);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(ScanAndDecode);

QString detectorId(int line, int number)
{
    return QStringLiteral("И0%1-%2").arg(line).arg(number, 2, 10, QLatin1Char('0'));
}

// A workstation with one system whose device 0 has 8 lines of 60 detectors, all in the tree.
class Workstation {
public:
    Workstation()
    {
        QString detectors;
        QString complex = QStringLiteral("A01:СКЛАД\n\tЦех 1\n");
        for (int line = 1; line <= 8; ++line)
            for (int number = 1; number <= 60; ++number) {
                detectors += QStringLiteral("[%1]\nЗОНА=Цех 1\nТЕКСТ=Помещение %2\nТИП=ДЫМОВОЙ\nСОСТОЯНИЕ=ВКЛ\nX=3,5\nY=2\n")
                                 .arg(detectorId(line, number))
                                 .arg(line * 100 + number);
                complex += QStringLiteral("\t\t%1 Помещение\n").arg(detectorId(line, number));
            }
        folder.writeText(QStringLiteral("Склад.tb0"), detectors);
        folder.writeText(QStringLiteral("Склад.cnf"), QStringLiteral("[СИСТЕМА]\nАДРЕС=01\n"));
        settings.ini().writeString(settings::sectionAddress, u"01", folder.file(QStringLiteral("Склад.cnf")));
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
};

// Faults, fires, contacts and state reports of random detectors: rows, lines, tree marks.
void ProcessEventReadingFiles(benchmark::State& state)
{
    Workstation workstation;
    std::mt19937 random(11);
    const char* const codes[] = {"08", "07", "00", "24", "34", "99"};
    for (auto _ : state) {
        const int line = static_cast<int>(random() % 8) + 1;
        const int number = static_cast<int>(random() % 60) + 1;
        const QString record = QStringLiteral("01/%1/%2").arg(detectorId(line, number), QLatin1String(codes[random() % 6]));
        workstation.dispatcher.ProcessEvent(record);
        workstation.alarms.calls.clear();
    }
    state.counters["records/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(ProcessEventReadingFiles)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace kirvan
