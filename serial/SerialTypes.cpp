#include "serial/SerialTypes.h"

#include <array>

namespace kirvan {

namespace {
constexpr std::array<int, static_cast<std::size_t>(BaudRate::bps256000) + 1> speeds{
    110, 300, 600, 1200, 2400, 4800, 9600, 14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
} // namespace

int baudOf(BaudRate rate)
{
    return speeds.at(static_cast<std::size_t>(rate));
}

std::optional<BaudRate> baudRateOf(int bitsPerSecond)
{
    for (std::size_t i = 0; i < speeds.size(); ++i) {
        if (speeds[i] == bitsPerSecond)
            return static_cast<BaudRate>(i);
    }
    return std::nullopt;
}

} // namespace kirvan
