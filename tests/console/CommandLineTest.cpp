#include "console/CommandLine.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

TEST(CommandLineTest, FolderHelpAndVersion)
{
    QString error;
    auto line = parseCommandLine({u"--dir"_s, u"/srv/пост 1"_s}, error);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->folder, u"/srv/пост 1"_s);
    EXPECT_FALSE(line->help);

    line = parseCommandLine({u"--help"_s}, error);
    ASSERT_TRUE(line);
    EXPECT_TRUE(line->help);
    line = parseCommandLine({}, error);
    ASSERT_TRUE(line);
    EXPECT_TRUE(line->folder.isEmpty());
}

TEST(CommandLineTest, UnknownOptionOrMissingValueIsAnError)
{
    QString error;
    EXPECT_FALSE(parseCommandLine({u"--com"_s, u"x"_s}, error));
    EXPECT_EQ(error, u"unknown option: --com"_s);
    EXPECT_FALSE(parseCommandLine({u"--dir"_s}, error));
    EXPECT_EQ(error, u"--dir needs a folder"_s);
}

} // namespace
} // namespace kirvan
