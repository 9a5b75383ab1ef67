// The viewer's cache of kept indexes does not grow for ever: what no log needs any more goes.
#include "archive/IndexCache.h"
#include "archive/JournalIndex.h"
#include "tests/support/FixedLocale.h"
#include "tests/support/TempFolder.h"

#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

TEST(IndexCacheTest, TidyingRemovesTheIndexesOfGoneLogsAndTheLongUnusedAndKeepsTheCacheWithinItsBound)
{
    enum class Log { Same, Gone, Changed };
    const struct {
        Log log;
        int unusedDays;
        bool stays;
    } rows[] = {
        {Log::Same, 91, false}, // KirvanMonitorP.txt.6: unused too long
        {Log::Changed, 0, false}, // .5: another file under the name now
        {Log::Gone, 0, false}, // .4: rotated away
        {Log::Same, 2, false}, // .3: the least recently used beyond the bound
        {Log::Same, 1, true}, // .2
        {Log::Same, 400, true}, // .1: read by the open viewer, however old
    };
    testing::TempFolder folder;
    testing::TempFolder cache;
    const auto rotated = [&](std::size_t row) { return folder.file(u"KirvanMonitorP.txt.%1"_s.arg(6 - row)); };
    for (std::size_t row = 0; row < std::size(rows); ++row)
        folder.write(QFileInfo(rotated(row)).fileName(), "08.12.2023 9:15:02  \xd1\xc8\xd1\xd2\xc5\xcc\xc0 01\r\n");
    folder.write(u"KirvanMonitorP.txt"_s, {});
    const auto index = JournalIndex::build(folder.file(u"KirvanMonitorP.txt"_s),
                                           JournalDateOrder(testing::FixedLocale()), {}, cache.path());
    index.keep();
    const QStringList names = index.keptNames();
    ASSERT_EQ(names.size(), std::ssize(rows));
    const QDateTime now(QDate(2026, 12, 10), QTime(12, 0));
    for (std::size_t row = 0; row < std::size(rows); ++row) {
        QFile kept(cache.file(names[qsizetype(row)]));
        ASSERT_TRUE(kept.open(QIODevice::ReadWrite));
        ASSERT_TRUE(kept.setFileTime(now.addDays(-rows[row].unusedDays), QFileDevice::FileModificationTime));
        if (rows[row].log == Log::Gone)
            QFile::remove(rotated(row));
        if (rows[row].log == Log::Changed)
            QFile::resize(rotated(row), 10);
    }
    cache.write(u"earlier-form.index"_s, "KJIDX001");

    tidyIndexCache(cache.path(), now, {names.back()}, {90, 2 * QFileInfo(cache.file(names.front())).size()});
    for (std::size_t row = 0; row < std::size(rows); ++row)
        EXPECT_EQ(QFile::exists(cache.file(names[qsizetype(row)])), rows[row].stays) << rotated(row).toStdString();
    EXPECT_FALSE(QFile::exists(cache.file(u"earlier-form.index"_s)));
}

} // namespace
} // namespace kirvan
