#include "complex/ComplexFile.h"
#include "files/FileReadError.h"
#include "files/IniStore.h"
#include "files/RegularFile.h"
#include "files/SettingsFile.h"
#include "tests/support/FixedLocale.h"
#include "tests/support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

using testing::TempFolder;

// Things found under a configuration file's name. Reading any of them must neither block (a
// FIFO without a writer), nor fill the memory (/dev/zero, a huge file), nor pass for an empty file.
struct UnusableFile {
    const char* name;
    std::function<void(const QString& path)> make;
    QString reason;
};

class UnusableFileTest : public ::testing::TestWithParam<UnusableFile> {
protected:
    QString make(const QString& name) const
    {
        const QString path = folder.file(name);
        GetParam().make(path);
        return path;
    }
    TempFolder folder;
    testing::FixedLocale locale;
    IniStore store{locale};
};

TEST_P(UnusableFileTest, IniReadGivesTheReasonAndDefaults)
{
    const QString path = make(u"Склад.tb1"_s);
    bool empty = false;
    const QString failure = store.read(path,
                                       [&](const IniDocument& document) { empty = document.serialize().isEmpty(); });
    EXPECT_EQ(failure, GetParam().reason);
    EXPECT_TRUE(empty);
}

TEST_P(UnusableFileTest, CompositionFileLoadFailsWithTheReasonAndKeepsTheTree)
{
    const QString path = make(u"kirvanmonitorp.cnf"_s);
    CompositionTree tree;
    tree.add(nullptr, u"A00:ПРЕЖНЯЯ"_s);
    try {
        ComplexFile::load(tree, path);
        ADD_FAILURE() << "the load cannot succeed";
    } catch (const std::runtime_error& error) {
        EXPECT_TRUE(QString::fromUtf8(error.what()).contains(GetParam().reason)) << error.what();
    }
    ASSERT_EQ(tree.topLevel().size(), 1u);
}

TEST_P(UnusableFileTest, SettingsFileIsNotReplacedAndEndsTheStart)
{
    const QString path = make(u"KirvanMonitorP.ini"_s);
    struct stat before {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &before), 0);
    try {
        SettingsFile settings(store, WorkstationFolder(folder.path()));
        ADD_FAILURE() << "the settings cannot be used";
    } catch (const FileReadError& error) {
        EXPECT_EQ(error.reason(), GetParam().reason);
        EXPECT_EQ(error.path(), path);
    }
    struct stat after {};
    ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "still the same file";
    EXPECT_EQ(after.st_mode, before.st_mode);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, UnusableFileTest,
    ::testing::Values(
        UnusableFile{"Fifo",
                     [](const QString& path) { ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0644), 0); },
                     u"это канал, а не файл"_s},
        UnusableFile{"Device", [](const QString& path) { ASSERT_TRUE(QFile::link(u"/dev/zero"_s, path)); },
                     u"это устройство, а не файл"_s},
        UnusableFile{"Folder", [](const QString& path) { ASSERT_TRUE(QDir().mkdir(path)); }, u"это папка, а не файл"_s},
        UnusableFile{"Huge",
                     [](const QString& path) {
                         QFile file(path);
                         ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                         ASSERT_TRUE(file.resize(RegularFile::maxBytes + 1)); // sparse: no disk used
                     },
                     u"файл больше 64 МБ"_s},
        UnusableFile{"LongLine",
                     [](const QString& path) {
                         QFile file(path);
                         ASSERT_TRUE(file.open(QIODevice::WriteOnly));
                         file.write("[Complex]\r\n");
                         file.write(QByteArray(RegularFile::maxLineBytes + 1, 'x'));
                         file.write("\r\n");
                     },
                     u"строка 2 длиннее 64 КБ"_s}),
    [](const ::testing::TestParamInfo<UnusableFile>& tested) { return std::string(tested.param.name); });

} // namespace
} // namespace kirvan
