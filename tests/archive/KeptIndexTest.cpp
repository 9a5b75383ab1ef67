// The index of each rotated log is kept outside the workstation folder and taken up by the next
// viewer instead of the log; filters skip the runs of lines they cannot admit.
#include "archive/JournalIndex.h"
#include "tests/support/FixedLocale.h"
#include "tests/support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

using testing::TempFolder;

TEST(KeptIndexTest, TheNextBuildTakesUpTheRotatedLogsIndexAndFiltersADayAsBefore)
{
    TempFolder folder;
    TempFolder cache;
    testing::FixedLocale locale;
    // Three runs of lines a day apart, over several blocks of the index; the log itself is short.
    QString rotated;
    int third = 0;
    for (int n = 0; n < 3 * 5000; ++n) {
        const int day = 1 + n / 5000;
        third += day == 3 && n % 2 == 0 ? 1 : 0;
        rotated += u"0%1/И01-01/%2 0%3.12.2023 %4:%5:00 %6: СКЛАД\n"_s.arg(n % 2)
                       .arg(n % 2 == 0 ? u"07"_s : u"08"_s)
                       .arg(day)
                       .arg(n / 60 % 24)
                       .arg(n % 60, 2, 10, QChar(u'0'))
                       .arg(n % 2 == 0 ? u"ПОЖАР"_s : u"ОТКАЗ"_s);
    }
    folder.writeText(u"KirvanMonitorP.txt.1"_s, rotated);
    folder.writeText(u"KirvanMonitorP.txt"_s, u"04.12.2023 9:15:02  КОМПЛЕКС КИРВАН ВКЛЮЧЕН\n"_s);
    const auto unchanged = folder.snapshot();
    const QString log = folder.file(u"KirvanMonitorP.txt"_s);
    const auto build = [&] {
        const JournalIndex index = JournalIndex::build(log, JournalDateOrder(locale), {}, cache.path());
        index.keep();
        return index;
    };

    JournalFilter firesOfTheThird;
    firesOfTheThird.from = QDateTime(QDate(2023, 12, 3), QTime(0, 0));
    firesOfTheThird.to = QDateTime(QDate(2023, 12, 3), QTime(23, 59));
    firesOfTheThird.kinds = kindBit(JournalKind::Fire);
    const JournalIndex first = build();
    ASSERT_EQ(first.size(), 15001);
    EXPECT_EQ(first.select(firesOfTheThird).size(), std::size_t(third));
    EXPECT_EQ(QDir(cache.path()).entryList(QDir::Files).size(), 1) << "the rotated log's index only";
    EXPECT_EQ(folder.snapshot(), unchanged) << "nothing written in the workstation folder";

    // The same log, its faults now fires, with its size and time as before: only the kept index
    // still knows them as faults.
    const QByteArray path = QFile::encodeName(folder.file(u"KirvanMonitorP.txt.1"_s));
    struct stat before {};
    ASSERT_EQ(::stat(path.constData(), &before), 0);
    QByteArray bytes = folder.read(u"KirvanMonitorP.txt.1"_s);
    bytes.replace("/08 ", "/07 ").replace("\xce\xd2\xca\xc0\xc7", "\xcf\xce\xc6\xc0\xd0");
    QFile same(folder.file(u"KirvanMonitorP.txt.1"_s));
    ASSERT_TRUE(same.open(QIODevice::ReadWrite));
    ASSERT_EQ(same.write(bytes), bytes.size());
    same.close();
    const timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.constData(), times, 0), 0);
    EXPECT_EQ(build().select(firesOfTheThird).size(), std::size_t(third));

    // A kept index that does not fit is read anew and replaced.
    const QString kept = cache.file(QDir(cache.path()).entryList(QDir::Files).front());
    ASSERT_TRUE(QFile::resize(kept, 100));
    EXPECT_EQ(build().select(firesOfTheThird).size(), std::size_t(2 * third));
    EXPECT_GT(QFileInfo(kept).size(), 100);
}

} // namespace
} // namespace kirvan
