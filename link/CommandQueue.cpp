#include "link/CommandQueue.h"

namespace kirvan {

void CommandQueue::queueCommand(std::uint8_t address, std::uint8_t code, std::uint8_t parameterA, std::uint8_t parameterB)
{
    for (Command& slot : slots_)
        if (slot.code == 0) {
            slot = {address, code, parameterA, parameterB};
            return;
        }
}

std::optional<Command> CommandQueue::takeNext()
{
    for (Command& slot : slots_)
        if (slot.code != 0) {
            const Command next = slot;
            slot.code = 0;
            return next;
        }
    return std::nullopt;
}

} // namespace kirvan
