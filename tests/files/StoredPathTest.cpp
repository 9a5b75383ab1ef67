#include "files/StoredPath.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

struct StoredCase {
    const char16_t* stored;
    const char16_t* local;
    friend void PrintTo(const StoredCase& c, std::ostream* os) { *os << QString::fromUtf16(c.stored).toStdString(); }
};

class StoredPathTest : public ::testing::TestWithParam<StoredCase> {};

TEST_P(StoredPathTest, MapsWindowsPathsAndKeepsLinuxPaths)
{
    const auto drives = [](QChar drive) {
        return drive == QLatin1Char('D') ? u"/srv/kirvan/D"_s : u"/srv/other/"_s + drive + u'/';
    };
    EXPECT_EQ(localPathFromStored(QStringView(GetParam().stored), drives), QString::fromUtf16(GetParam().local));
}

INSTANTIATE_TEST_SUITE_P(Paths, StoredPathTest,
                         ::testing::Values(StoredCase{u"D:\\Объекты\\Склад.cnf", u"/srv/kirvan/D/Объекты/Склад.cnf"},
                                           StoredCase{u"d:\\Объекты\\Склад.cnf", u"/srv/kirvan/D/Объекты/Склад.cnf"},
                                           StoredCase{u"D:/Объекты/Цех1.bmp", u"/srv/kirvan/D/Объекты/Цех1.bmp"},
                                           StoredCase{u"E:\\План.bmp", u"/srv/other/E/План.bmp"},
                                           StoredCase{u"D:План.bmp", u"/srv/kirvan/D/План.bmp"},
                                           StoredCase{u"/srv/kirvan/Склад.cnf", u"/srv/kirvan/Склад.cnf"},
                                           StoredCase{u"Объекты\\Склад.cnf", u"Объекты/Склад.cnf"}, StoredCase{u"", u""}));

} // namespace
} // namespace kirvan
