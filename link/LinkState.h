#pragma once

#include <array>
#include <cstdint>

namespace kirvan {

// The answer state of the systems at addresses 0 to 3: 0 answered; other values are set by the
// configuration load and the polling cycle.
using LinkStateTable = std::array<std::uint8_t, 4>;

} // namespace kirvan
