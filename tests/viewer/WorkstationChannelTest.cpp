#include "viewer/WorkstationChannel.h"

#include <QCoreApplication>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kirvan::testing {
namespace {

TEST(WorkstationChannelTest, ALineBringsTheWindowForwardTheEndClosesIt)
{
    int ends[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends), 0);
    int forward = 0;
    int ended = 0;
    WorkstationChannel channel(ends[1], [&] { ++forward; }, [&] { ++ended; });
    ASSERT_EQ(::write(ends[0], "\n", 1), 1);
    QCoreApplication::processEvents();
    EXPECT_EQ(forward, 1);
    EXPECT_EQ(ended, 0);
    ::close(ends[0]);
    QCoreApplication::processEvents();
    EXPECT_EQ(ended, 1) << "the workstation has gone";
    ::close(ends[1]);
}

} // namespace
} // namespace kirvan::testing
