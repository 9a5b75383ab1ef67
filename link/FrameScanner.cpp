#include "link/FrameScanner.h"

#include <algorithm>

namespace kirvan {

std::size_t scanFrames(const std::uint8_t* bytes, std::size_t count, const std::function<void(const Frame&)>& accepted)
{
    std::size_t start = 0;
    while (start + 7 <= count) {
        const std::uint8_t* candidate = bytes + start;
        if (!isFrameStart(candidate[0]) || frameChecksum(candidate) != candidate[6]) {
            ++start;
            continue;
        }
        Frame frame;
        std::copy_n(candidate, 7, frame.begin());
        start += 7;
        accepted(frame);
    }
    return start;
}

} // namespace kirvan
