#include "files/FolderWatcher.h"
#include "tests/support/TempFolder.h"

#include <QSet>
#include <gtest/gtest.h>

namespace kirvan::testing {
namespace {

class FolderWatcherTest : public ::testing::Test {
protected:
    // The names reported for the watch, or "*" for a report of lost events.
    QSet<QByteArray> drained(int watchId)
    {
        QSet<QByteArray> names;
        watcher.drain([&](const FolderWatcher::Change& change) {
            if (change.everything)
                names.insert("*");
            else if (change.watchId == watchId)
                names.insert(change.name);
        });
        return names;
    }

    TempFolder folder;
    FolderWatcher watcher;
};

TEST_F(FolderWatcherTest, reportsEveryNameChangedSinceTheLastLook)
{
    folder.write(QStringLiteral("Склад.tb0"), "old");
    const auto watchId = watcher.watch(folder.path());
    ASSERT_TRUE(watchId.has_value());
    EXPECT_TRUE(drained(*watchId).isEmpty());

    // Same size, no new file: what a timestamp may not tell.
    folder.write(QStringLiteral("Склад.tb0"), "new");
    EXPECT_EQ(drained(*watchId), QSet<QByteArray>{QFile::encodeName(QStringLiteral("Склад.tb0"))});
    EXPECT_TRUE(drained(*watchId).isEmpty());

    folder.write(QStringLiteral("other.ini"), "x");
    EXPECT_EQ(drained(*watchId), QSet<QByteArray>{"other.ini"});
}

TEST_F(FolderWatcherTest, aFolderWatchedTwiceHasOneWatch)
{
    const auto first = watcher.watch(folder.path());
    const auto second = watcher.watch(folder.path() + QStringLiteral("/"));
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first, second);
}

TEST_F(FolderWatcherTest, reportsNothingMoreOnceUnwatched)
{
    const auto watchId = watcher.watch(folder.path());
    ASSERT_TRUE(watchId.has_value());
    watcher.unwatch(*watchId);
    drained(*watchId);
    folder.write(QStringLiteral("a.ini"), "x");
    EXPECT_TRUE(drained(*watchId).isEmpty());
}

TEST_F(FolderWatcherTest, aMissingFolderCannotBeWatched)
{
    EXPECT_FALSE(watcher.watch(folder.file(QStringLiteral("missing"))).has_value());
}

} // namespace
} // namespace kirvan::testing
