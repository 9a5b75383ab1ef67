#include "files/WorkstationFolder.h"
#include "tests/support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

using testing::TempFolder;

struct FolderCase {
    const char* name;
    const char16_t* program; // below the test's folder
    const char16_t* system; // below the test's folder; empty: none known
    bool programWritable;
    bool inUserData;
    friend void PrintTo(const FolderCase& c, std::ostream* os) { *os << c.name; }
};

class DefaultFolderTest : public ::testing::TestWithParam<FolderCase> {};

TEST_P(DefaultFolderTest, OwnFolderUnlessInstalledOrReadOnly)
{
    const FolderCase& c = GetParam();
    const TempFolder root;
    QDir(root.path()).mkpath(u"usr/bin"_s);
    QDir(root.path()).mkpath(u"opt/kirvan"_s);
    // The system folder is reached through a symbolic link, as /bin is /usr/bin.
    QFile::link(root.file(u"usr/bin"_s), root.file(u"bin"_s));
    const QString program = root.file(QString::fromUtf16(c.program));
    QStringList system{root.file(u"usr/local/bin"_s)};
    if (*c.system)
        system << root.file(QString::fromUtf16(c.system));
    const QString userData = root.file(u"home/.local/share/kirvanmonitorp"_s);
    const QString chosen = defaultWorkstationFolder(program, system, userData,
                                                    [&](const QString&) { return c.programWritable; });
    EXPECT_EQ(chosen, c.inUserData ? userData : QDir(program).absolutePath());
}

INSTANTIATE_TEST_SUITE_P(Places, DefaultFolderTest,
                         ::testing::Values(FolderCase{"OwnWritableFolder", u"opt/kirvan", u"usr/bin", true, false},
                                           FolderCase{"OwnReadOnlyFolder", u"opt/kirvan", u"usr/bin", false, true},
                                           FolderCase{"InstalledEvenWhenWritable", u"usr/bin", u"usr/bin", true, true},
                                           FolderCase{"InstalledThroughALink", u"bin", u"usr/bin", true, true},
                                           FolderCase{"NoSystemFolderKnown", u"usr/bin", u"", true, false}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(WorkstationFolderTest, ResourcesComeFromTheOwnFolderFirstThenTheSharedOne)
{
    const TempFolder own;
    const TempFolder shared;
    QDir(shared.path()).mkpath(u"Help"_s);
    shared.write(u"Help/index.html"_s, "shared");
    shared.write(u"alarm.wav"_s, "shared");
    QDir(own.path()).mkpath(u"help"_s);
    own.write(u"help/INDEX.HTML"_s, "own");
    const WorkstationFolder folder(own.path(), shared.path());

    EXPECT_EQ(folder.resource(u"Help/index.html"_s), own.file(u"help/INDEX.HTML"_s));
    EXPECT_EQ(folder.resource(u"alarm.wav"_s), shared.file(u"alarm.wav"_s));
    // Without a shared folder the own path is named, missing or not.
    EXPECT_EQ(WorkstationFolder(own.path()).resource(u"alarm.wav"_s), own.file(u"alarm.wav"_s));
}

TEST(WorkstationFolderTest, WritableIsWhatTheSystemSays)
{
    const TempFolder folder;
    EXPECT_TRUE(folderWritable(folder.path()));
    EXPECT_FALSE(folderWritable(folder.file(u"missing"_s)));
}

} // namespace
} // namespace kirvan
