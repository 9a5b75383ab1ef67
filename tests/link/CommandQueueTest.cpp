#include "link/CommandQueue.h"

#include <gtest/gtest.h>

namespace kirvan {
namespace {

TEST(CommandQueueTest, FirstCommandTakesSlotZeroAndANinthIsDropped)
{
    CommandQueue queue;
    queue.queueCommand(1, 0x82, 0, 0);
    EXPECT_EQ(queue.slot(0), (Command{1, 0x82, 0, 0}));
    for (std::uint8_t i = 1; i < 9; ++i)
        queue.queueCommand(i, 0x98, i, 0x5B);
    EXPECT_EQ(queue.slot(7), (Command{7, 0x98, 7, 0x5B}));
    for (int sent = 0; sent < 8; ++sent)
        ASSERT_TRUE(queue.takeNext());
    EXPECT_FALSE(queue.takeNext()) << "the ninth command was dropped";
}

TEST(CommandQueueTest, CommandsGoInSlotOrderNotInOrderOfArrival)
{
    CommandQueue queue;
    queue.queueCommand(0, 0x82, 1, 0);
    queue.queueCommand(0, 0x82, 2, 0);
    queue.queueCommand(0, 0x82, 3, 0);
    EXPECT_EQ(queue.takeNext()->parameterA, 1);
    queue.queueCommand(0, 0x82, 4, 0); // into the freed slot 0
    EXPECT_EQ(queue.takeNext()->parameterA, 4);
    EXPECT_EQ(queue.takeNext()->parameterA, 2);
}

TEST(CommandQueueTest, CodeZeroLeavesTheSlotFree)
{
    CommandQueue queue;
    queue.queueCommand(2, 0, 5, 5);
    EXPECT_FALSE(queue.takeNext());
    queue.queueCommand(3, 0x9A, 1, 2);
    EXPECT_EQ(queue.slot(0), (Command{3, 0x9A, 1, 2}));
}

} // namespace
} // namespace kirvan
