// The viewer's cache of kept indexes does not grow for ever: what no log needs any more goes.
#include "archive/IndexCache.h"
#include "archive/JournalIndex.h"
#include "tests/support/FixedLocale.h"
#include "tests/support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

using testing::TempFolder;

TEST(IndexCacheTest, TidyingRemovesTheIndexesOfGoneLogsAndTheLongUnusedAndKeepsTheCacheWithinItsBound)
{
    enum class Log { Same, Gone, Changed };
    struct Row {
        const char* rotated;
        Log log;
        int unusedDays;
        bool stays;
    };
    const Row rows[] = {
        {"1", Log::Same, 400, true}, // read by the open viewer, however old
        {"2", Log::Same, 1, true},     {"3", Log::Same, 2, false}, // beyond the bound, the least recently used
        {"4", Log::Gone, 1, false}, // rotated away
        {"5", Log::Changed, 1, false}, // another file under the name now
        {"6", Log::Same, 91, false}, // unused too long
    };
    TempFolder folder;
    TempFolder cache;
    for (const Row& row : rows)
        folder.write(u"KirvanMonitorP.txt."_s + QLatin1String(row.rotated),
                     "08.12.2023 9:15:02  \xd1\xc8\xd1\xd2\xc5\xcc\xc0 01\r\n");
    folder.write(u"KirvanMonitorP.txt"_s, {});
    const JournalIndex index = JournalIndex::build(folder.file(u"KirvanMonitorP.txt"_s),
                                                   JournalDateOrder(testing::FixedLocale()), {}, cache.path());
    index.keep();
    const QStringList names = index.keptNames(); // oldest first: .6 … .1
    ASSERT_EQ(names.size(), std::ssize(rows));
    folder.write(u"KirvanMonitorP.txt.5"_s, "08.12.2023 9:15:02  \xd1\xc8\xd1\xd2\xc5\xcc\xc0 02 \xe8 03\r\n");
    QFile::remove(folder.file(u"KirvanMonitorP.txt.4"_s));
    cache.write(u"earlier-form.index"_s, "KJIDX001");

    const QDateTime now(QDate(2026, 12, 10), QTime(12, 0));
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        QFile kept(cache.file(names[qsizetype(std::size(rows) - 1 - i)]));
        ASSERT_TRUE(kept.open(QIODevice::ReadWrite));
        ASSERT_TRUE(kept.setFileTime(now.addDays(-rows[i].unusedDays), QFileDevice::FileModificationTime));
    }
    const qint64 eachIndex = QFileInfo(cache.file(names.front())).size();
    tidyIndexCache(cache.path(), now, {names.back()}, {90, 2 * eachIndex});

    for (std::size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(QFile::exists(cache.file(names[qsizetype(std::size(rows) - 1 - i)])), rows[i].stays)
            << "KirvanMonitorP.txt." << rows[i].rotated;
    EXPECT_FALSE(QFile::exists(cache.file(u"earlier-form.index"_s)));
}

} // namespace
} // namespace kirvan
