#pragma once

#include <cstdint>

namespace kirvan {

// The receive side of the serial port as the panel link reads it.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Bytes waiting in the port's receive buffer.
    virtual int inCount() = 0;
    // Takes the first waiting byte (0 when there is none).
    virtual std::uint8_t readByte() = 0;
};

} // namespace kirvan
