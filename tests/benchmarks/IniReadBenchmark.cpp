// Reads of detector keys through IniFile. Event processing reads several keys of a detector
// file for every event, so a read must stay far below the 800 ms polling period even while
// another program rewrites the file. Target: 100,000 reads per second on one core.
#include "files/Cp1251.h"
#include "files/IniFile.h"
#include "files/IniStore.h"
#include "tests/support/FixedLocale.h"

#include <QFile>
#include <QTemporaryDir>
#include <array>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <random>
#include <stdexcept>
#include <thread>
#include <vector>

namespace kirvan {
namespace {

const std::array<QString, 6> detectorKeys = {QStringLiteral("ЗОНА"), QStringLiteral("ТЕКСТ"),
                                             QStringLiteral("ТИП"),  QStringLiteral("СОСТОЯНИЕ"),
                                             QStringLiteral("X"),    QStringLiteral("Y")};

QString detectorId(int line, int number)
{
    return QStringLiteral("И0%1-%2").arg(line).arg(number, 2, 10, QLatin1Char('0'));
}

// A full device: 8 lines of 60 detectors, about 30 KB.
QByteArray detectorFile()
{
    QString text;
    for (int line = 1; line <= 8; ++line)
        for (int number = 1; number <= 60; ++number)
            text += QStringLiteral("[%1]\r\nЗОНА=Цех %2\r\nТЕКСТ=Помещение %3\r\nТИП=ДЫМОВОЙ\r\n"
                                   "СОСТОЯНИЕ=ВКЛ\r\nX=3,5\r\nY=2\r\n")
                        .arg(detectorId(line, number))
                        .arg(line)
                        .arg(number);
    return cp1251::encode(text).bytes;
}

struct DetectorFileFixture {
    DetectorFileFixture()
    {
        QFile file(path);
        const QByteArray content = detectorFile();
        if (!folder.isValid() || !file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
            throw std::runtime_error("cannot write the detector file");
        std::mt19937 random(1);
        for (auto& read : reads)
            read = {detectorId(static_cast<int>(random() % 8 + 1), static_cast<int>(random() % 60 + 1)),
                    detectorKeys[random() % detectorKeys.size()]};
    }

    QTemporaryDir folder;
    QString path = folder.filePath(QStringLiteral("Склад.tb0"));
    testing::FixedLocale locale;
    IniStore store{locale};
    struct Read {
        QString section;
        QString key;
    };
    std::array<Read, 4096> reads;
};

void readRandomKeys(benchmark::State& state, DetectorFileFixture& fixture)
{
    const IniFile file(fixture.store, fixture.path);
    std::size_t next = 0;
    for (auto _ : state) {
        const auto& read = fixture.reads[next++ % fixture.reads.size()];
        benchmark::DoNotOptimize(file.readString(read.section, read.key, {}));
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_ReadDetectorKeys(benchmark::State& state)
{
    DetectorFileFixture fixture;
    readRandomKeys(state, fixture);
}
BENCHMARK(BM_ReadDetectorKeys)->UseRealTime();

void BM_ReadDetectorKeysWhileRewritten(benchmark::State& state)
{
    DetectorFileFixture fixture;
    std::atomic<bool> stop = false;
    std::atomic<int> rewrites = 0;
    std::thread writer([&] {
        IniFile file(fixture.store, fixture.path);
        for (int i = 0; !stop; ++i) {
            file.writeString(detectorId(i % 8 + 1, i % 60 + 1), QStringLiteral("СОСТОЯНИЕ"),
                             i % 2 ? QStringLiteral("ВКЛ") : QStringLiteral("ВЫКЛ"));
            ++rewrites;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    readRandomKeys(state, fixture);
    stop = true;
    writer.join();
    state.counters["rewrites"] = benchmark::Counter(rewrites, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadDetectorKeysWhileRewritten)->UseRealTime();

} // namespace
} // namespace kirvan

BENCHMARK_MAIN();
