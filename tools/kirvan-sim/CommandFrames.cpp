#include "tools/kirvan-sim/CommandFrames.h"

#include <algorithm>

namespace kirvan::sim {
bool isCommandFrame(const std::uint8_t* b)
{
    const bool address = b[0] <= 3 || (b[0] >= firstAdsAddress && b[0] <= lastAdsAddress);
    const bool marker = b[1] == 0x20 || b[1] == 0x21;
    return address && marker && b[6] == frameChecksum(b);
}

std::vector<Frame> CommandFrames::take(std::span<const std::uint8_t> bytes)
{
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    std::vector<Frame> frames;
    std::size_t at = 0;
    while (pending_.size() - at >= std::tuple_size_v<Frame>) {
        if (!isCommandFrame(pending_.data() + at)) {
            ++at;
            continue;
        }
        Frame frame;
        std::copy_n(pending_.begin() + static_cast<std::ptrdiff_t>(at), frame.size(), frame.begin());
        frames.push_back(frame);
        at += frame.size();
    }
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(at));
    return frames;
}

} // namespace kirvan::sim
