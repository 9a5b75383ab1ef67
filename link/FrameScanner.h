#pragma once

#include "link/Frame.h"

#include <cstddef>
#include <cstdint>
#include <functional>

namespace kirvan {

// Finds the frames in received bytes with a sliding 7-byte window. A candidate is accepted when
// its checksum holds and its first byte is 0x00 to 0x03, 0x20 or 0x21; the next candidate then
// starts right after it. A rejected candidate moves the window by one byte.
// Returns where the window stopped: the bytes from there on (at most six) are too few for a
// candidate, the beginning of a frame that has not yet arrived whole.
std::size_t scanFrames(const std::uint8_t* bytes, std::size_t count, const std::function<void(const Frame&)>& accepted);

} // namespace kirvan
