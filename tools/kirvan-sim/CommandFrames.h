#pragma once

#include "link/Frame.h"

#include <cstdint>
#include <span>
#include <vector>

namespace kirvan::sim {

// Finds the workstation's command frames in the bytes of the line. A pseudo-terminal carries no
// parity bit, so a frame is recognised by its content alone: an address byte of a system (0 to
// 3) or an АДС station (0x20 to 0x24), the marker 0x20 or 0x21, and the checksum. Anything else
// moves the search on by one byte; an incomplete frame waits for the rest of its bytes.
class CommandFrames {
public:
    std::vector<Frame> take(std::span<const std::uint8_t> bytes);

private:
    std::vector<std::uint8_t> pending_;
};

inline constexpr std::uint8_t firstAdsAddress = 0x20;
inline constexpr std::uint8_t lastAdsAddress = 0x24;

// Whether the seven bytes are one command frame of the workstation.
bool isCommandFrame(const std::uint8_t* bytes);

} // namespace kirvan::sim
