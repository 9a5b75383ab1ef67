// The event table under a long alarm flood. It keeps the newest 10,000 rows; a kept row of six
// short texts must cost a few hundred bytes, and committing a row must stay cheap once the
// oldest leave at the top.
#include "files/IniFile.h"
#include "files/IniStore.h"
#include "journal/EventTable.h"
#include "tests/support/FixedLocale.h"
#include "tests/support/TempFolder.h"

#include <benchmark/benchmark.h>
#include <malloc.h>

namespace kirvan {
namespace {

// One fault row as the reactions fill it.
void fillRow(EventTable& table)
{
    const int number = table.journalRow();
    const auto twoDigits = [](int value) { return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0')); };
    table.writeCell(0, QString::number(number));
    table.writeCell(1, QStringLiteral("ОТКАЗ"));
    table.writeCell(2, QStringLiteral("ОБЪЕКТ2"));
    table.writeCell(3, QStringLiteral("Помещение %1 линия %2: НЕИСПРАВНОСТЬ").arg(number % 900).arg(number % 8));
    table.writeCell(4, QStringLiteral("09.12.2026"));
    table.writeCell(5, QStringLiteral("10:%1:%2").arg(twoDigits(number / 60 % 60), twoDigits(number % 60)));
    table.commitJournalRow(1);
}

struct TableFixture {
    testing::TempFolder folder;
    testing::FixedLocale locale;
    IniStore store{locale};
    IniFile settings{store, folder.file(QStringLiteral("KirvanMonitorP.ini"))};
    EventTable table{settings};
};

// Rows committed past the bound; "bytes/row" is the heap a full table takes per kept row.
void EventTableFullFlood(benchmark::State& state)
{
    TableFixture fixture;
    const std::size_t heapBefore = mallinfo2().uordblks;
    for (int i = 0; i < EventTable::MaxRows; ++i)
        fillRow(fixture.table);
    const auto heapPerRow = static_cast<double>(mallinfo2().uordblks - heapBefore) / EventTable::MaxRows;
    for (auto _ : state)
        fillRow(fixture.table);
    state.counters["bytes/row"] = heapPerRow;
    state.counters["rows/s"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(EventTableFullFlood)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace kirvan
