#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace kirvan {

struct Command {
    std::uint8_t address = 0;
    std::uint8_t code = 0;
    std::uint8_t parameterA = 0;
    std::uint8_t parameterB = 0;
    bool operator==(const Command&) const = default;
};

// Eight slots of commands waiting for the polling cycle; code 0 marks a free slot. A new command
// takes the lowest free slot, and the cycle sends the lowest occupied one, so commands go out in
// slot order rather than in order of arrival.
class CommandQueue {
public:
    static constexpr int SlotCount = 8;

    // Stores the command in the lowest free slot; with all eight taken it is dropped.
    void queueCommand(std::uint8_t address, std::uint8_t code, std::uint8_t parameterA, std::uint8_t parameterB);
    // Takes the command of the lowest occupied slot and frees that slot.
    std::optional<Command> takeNext();
    void clear() { slots_ = {}; }
    const Command& slot(int index) const { return slots_[static_cast<std::size_t>(index)]; }

private:
    std::array<Command, SlotCount> slots_{};
};

} // namespace kirvan
