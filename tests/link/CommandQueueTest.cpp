#include "link/CommandQueue.h"

#include "link/Commands.h"

#include <gtest/gtest.h>

namespace kirvan {
namespace {

bool queue(CommandQueue& queue, int parameterA)
{
    return queue.queueCommand(1, command::closeContact, static_cast<std::uint8_t>(parameterA), 0);
}

// Twelve queued while the cycle takes one after every second went out 1,2,4,5,7,8,10,12,3,6,9,11
// when each took the lowest free slot, and a ninth waiting was dropped without a word.
TEST(CommandQueueTest, CommandsLeaveInTheOrderQueuedAndANinthWaitingIsRefused)
{
    CommandQueue commands;
    std::vector<int> sent;
    for (int i = 1; i <= 12; ++i) {
        ASSERT_TRUE(queue(commands, i));
        if (i % 2 == 0)
            sent.push_back(commands.takeNext()->parameterA);
    }
    for (int i = 13; i <= 14; ++i)
        ASSERT_TRUE(queue(commands, i));
    EXPECT_FALSE(queue(commands, 15)) << "refused when queued, never dropped later";
    while (const auto next = commands.takeNext())
        sent.push_back(next->parameterA);
    EXPECT_EQ(sent, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
}

// A load's state requests never take the room of a command asked for; room held for the mailbox's
// request is no one else's.
TEST(CommandQueueTest, StateRequestsComeOnTopAndHeldRoomIsKept)
{
    CommandQueue commands;
    for (std::uint8_t address = 0; address < 8; ++address)
        commands.queueStateRequest(address % 4);
    ASSERT_TRUE(commands.reserve());
    for (int i = 1; i < CommandQueue::Capacity; ++i)
        ASSERT_TRUE(queue(commands, i));
    EXPECT_FALSE(queue(commands, 8));
    commands.release();
    EXPECT_TRUE(queue(commands, 8));
    commands.dropStateRequests();
    EXPECT_EQ(commands.size(), CommandQueue::Capacity);
    EXPECT_EQ(commands.slot(0), (Command{1, command::closeContact, 1, 0}));
}

} // namespace
} // namespace kirvan
