#pragma once

#include <cstdint>

namespace kirvan {

// Command codes of command frames (byte t2).
namespace command {
inline constexpr std::uint8_t linkCheck = 0x00; // polling cycle, sent at once
inline constexpr std::uint8_t initialRequest = 0x82; // 130: after loading the configuration, queued
inline constexpr std::uint8_t switchDetector = 0x8A; // 138: line (+0x80 to switch off), number - 1
inline constexpr std::uint8_t startScenario = 0x98; // 152: scenario - 1, 0x5B
inline constexpr std::uint8_t closeContact = 0x9A; // 154: device byte, element - 1
inline constexpr std::uint8_t openContact = 0x9B; // 155: device byte, element - 1
inline constexpr std::uint8_t arm = 0x9E; // 158: line, number - 1, sent at once
inline constexpr std::uint8_t disarm = 0x9F; // 159: line, number - 1, sent at once
// Parameter B of the scenario start.
inline constexpr std::uint8_t scenarioParameterB = 0x5B;
} // namespace command

} // namespace kirvan
