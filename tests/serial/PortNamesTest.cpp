#include "serial/PortNames.h"
#include "tests/support/TempFolder.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace kirvan::testing {
namespace {

TEST(PortNamesTest, TheWorkstationsOwnEntryComesFirst)
{
    TempFolder folder;
    QDir(folder.path()).mkpath(QStringLiteral("ports"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), folder.file(QStringLiteral("ports/COM3"))));
    EXPECT_EQ(portDevicePath(folder.path(), 3), folder.file(QStringLiteral("ports/COM3")));
    EXPECT_EQ(portDevicePath(folder.path(), 1), QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(portDevicePath(folder.path(), 10), QStringLiteral("/dev/ttyS9"));
}

TEST(PortNamesTest, ALinkPointingNowhereIsStillTheEntry)
{
    TempFolder folder;
    QDir(folder.path()).mkpath(QStringLiteral("ports"));
    ASSERT_TRUE(QFile::link(folder.file(QStringLiteral("gone")), folder.file(QStringLiteral("ports/COM2"))));
    EXPECT_EQ(portDevicePath(folder.path(), 2), folder.file(QStringLiteral("ports/COM2")));
}

TEST(PortNamesTest, NumbersBelowOneNameNoDevice)
{
    EXPECT_TRUE(portDevicePath(QStringLiteral("/tmp"), 0).isEmpty());
    EXPECT_TRUE(portDevicePath(QStringLiteral("/tmp"), -4).isEmpty());
}

} // namespace
} // namespace kirvan::testing
