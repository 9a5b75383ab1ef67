#pragma once

#include <array>
#include <cstdint>

namespace kirvan {

// Seven bytes on the line, b0 first. The last byte is the bitwise complement of the 8-bit sum
// of the six before it, in received frames and command frames alike.
using Frame = std::array<std::uint8_t, 7>;

// Bytes that can start a frame the workstation accepts: a station's 0x20, and this station's own
// address bytes 0 to 3 and 0x21 heard back.
inline bool isFrameStart(std::uint8_t byte)
{
    return byte <= 0x03 || byte == 0x20 || byte == 0x21;
}

inline std::uint8_t frameChecksum(const std::uint8_t* sixBytes)
{
    unsigned sum = 0;
    for (int i = 0; i < 6; ++i)
        sum += sixBytes[i];
    return static_cast<std::uint8_t>(~sum);
}

} // namespace kirvan
