#include "files/PathCase.h"

#include "tests/support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

using testing::TempFolder;

class PathCaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir(folder.path()).mkpath(u"Объекты"_s);
        folder.write(u"Объекты/Склад.cnf"_s, "x");
    }
    TempFolder folder;
};

TEST_F(PathCaseTest, ExistingPathIsReturnedAsWritten)
{
    const QString path = folder.file(u"Объекты/Склад.cnf"_s);
    EXPECT_EQ(resolvePathCase(path), path);
}

TEST_F(PathCaseTest, UpperCasedCyrillicAndLatinComponentsFindTheFile)
{
    EXPECT_EQ(resolvePathCase(folder.file(u"ОБЪЕКТЫ/СКЛАД.CNF"_s)), folder.file(u"Объекты/Склад.cnf"_s));
    EXPECT_EQ(resolvePathCase(folder.file(u"объекты/склад.Cnf"_s)), folder.file(u"Объекты/Склад.cnf"_s));
}

TEST_F(PathCaseTest, MissingFileKeepsTheCallersSpellingAfterTheFolderFound)
{
    EXPECT_EQ(resolvePathCase(folder.file(u"ОБЪЕКТЫ/СКЛАД.TB3"_s)), folder.file(u"Объекты/СКЛАД.TB3"_s));
}

TEST_F(PathCaseTest, LookAlikeLettersDoNotMatch)
{
    // Latin "C" in "Cклад" is not the Cyrillic "С" of the file name.
    EXPECT_EQ(resolvePathCase(folder.file(u"Объекты/Cклад.cnf"_s)), folder.file(u"Объекты/Cклад.cnf"_s));
}

TEST_F(PathCaseTest, ARenamedFileIsFoundUnderItsNewName)
{
    const QString asWritten = folder.file(u"ОБЪЕКТЫ/СКЛАД.CNF"_s);
    ASSERT_EQ(resolvePathCase(asWritten), folder.file(u"Объекты/Склад.cnf"_s));
    QFile::rename(folder.file(u"Объекты/Склад.cnf"_s), folder.file(u"Объекты/склад.CNF"_s));
    EXPECT_EQ(resolvePathCase(asWritten), folder.file(u"Объекты/склад.CNF"_s));
}

} // namespace
} // namespace kirvan
