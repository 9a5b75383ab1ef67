#include "app/CommandLine.h"

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

TEST(CommandLineTest, PortAndQuitTime)
{
    QString error;
    const auto line = parseCommandLine({u"--com"_s, u"3"_s, u"--quit-after"_s, u"20"_s}, error);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->comPort, 3);
    EXPECT_EQ(line->quitAfter, 20);
}

struct BadLine {
    QStringList arguments;
    const char16_t* error;
    friend void PrintTo(const BadLine& b, std::ostream* os) { *os << b.arguments.join(u' ').toStdString(); }
};

class BadCommandLineTest : public ::testing::TestWithParam<BadLine> {};

TEST_P(BadCommandLineTest, IsRefusedWithAClearReason)
{
    QString error;
    EXPECT_FALSE(parseCommandLine(GetParam().arguments, error));
    EXPECT_EQ(error, QString::fromUtf16(GetParam().error));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BadCommandLineTest,
    ::testing::Values(BadLine{{u"--port"_s}, u"unknown option: --port"}, BadLine{{u"--dir"_s}, u"--dir needs a folder"},
                      BadLine{{u"--com"_s}, u"--com needs a value"},
                      BadLine{{u"--com"_s, u"x"_s}, u"--com: x is not a number from 1 to 10"},
                      BadLine{{u"--com"_s, u"11"_s}, u"--com: 11 is not a number from 1 to 10"},
                      BadLine{{u"--quit-after"_s, u"-5"_s}, u"--quit-after: -5 is not a number from 0 to 604800"}));

} // namespace
} // namespace kirvan
