#pragma once

#include "link/Frame.h"

#include <cstddef>
#include <cstdint>
#include <functional>

namespace kirvan {

// Finds the frames in received bytes with a sliding 7-byte window. A candidate is accepted when
// its checksum holds and its first byte is 0x00 to 0x03, 0x20 or 0x21; the next candidate then
// starts right after it. A rejected candidate moves the window by one byte. Bytes after the last
// accepted frame (a frame that arrived only in part) are left over.
// Returns the number of bytes scanned up to the end of the last accepted frame.
std::size_t scanFrames(const std::uint8_t* bytes, std::size_t count,
                       const std::function<void(const Frame&)>& accepted);

} // namespace kirvan
