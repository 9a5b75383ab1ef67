#pragma once

#include "link/ByteSource.h"
#include "link/Frame.h"

#include <deque>
#include <initializer_list>
#include <vector>

namespace kirvan::testing {

using Bytes = std::vector<std::uint8_t>;

// A received frame with its checksum; b5 is 0.
inline Frame makeFrame(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3, std::uint8_t b4)
{
    Frame frame{b0, b1, b2, b3, b4, 0, 0};
    frame[6] = frameChecksum(frame.data());
    return frame;
}

inline Bytes frameBytes(std::uint8_t b0, std::uint8_t b1, std::uint8_t b2, std::uint8_t b3, std::uint8_t b4)
{
    const Frame frame = makeFrame(b0, b1, b2, b3, b4);
    return Bytes(frame.begin(), frame.end());
}

inline Bytes join(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

// The receive buffer of a port, filled by the test.
class FakeByteSource final : public ByteSource {
public:
    void deliver(const Bytes& bytes) { waiting.insert(waiting.end(), bytes.begin(), bytes.end()); }
    int inCount() override { return static_cast<int>(waiting.size()); }
    std::uint8_t readByte() override
    {
        if (waiting.empty())
            return 0;
        const std::uint8_t byte = waiting.front();
        waiting.pop_front();
        return byte;
    }
    std::deque<std::uint8_t> waiting;
};

} // namespace kirvan::testing
