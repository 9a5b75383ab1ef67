#pragma once

#include <array>
#include <cstdint>

namespace kirvan {

// Seven bytes on the line, b0 first. The last byte is the bitwise complement of the 8-bit sum
// of the six before it, in received frames and command frames alike.
using Frame = std::array<std::uint8_t, 7>;

inline std::uint8_t frameChecksum(const std::uint8_t* sixBytes)
{
    unsigned sum = 0;
    for (int i = 0; i < 6; ++i)
        sum += sixBytes[i];
    return static_cast<std::uint8_t>(~sum);
}

} // namespace kirvan
