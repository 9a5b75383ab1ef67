#pragma once

#include "tools/kirvan-sim/CommandFrames.h"
#include "tools/kirvan-sim/SimCommand.h"

#include <QStringList>
#include <array>
#include <cstdint>
#include <random>
#include <span>
#include <vector>

namespace kirvan::sim {

class SimComplex;

// What the simulator does in answer to something: bytes for the line, each item written whole
// (a frame, or a burst of noise), and lines for its log.
struct Reply {
    std::vector<std::vector<std::uint8_t>> writes;
    QStringList log;
};

// The far end of the line without threads or files of its own: the systems of the complex answer
// link checks, react to the workstation's commands and report injected events.
class SimEngine {
public:
    explicit SimEngine(SimComplex& complex, std::uint32_t seed = std::random_device{}());

    // Bytes the workstation sent; incomplete frames wait for the rest.
    Reply received(std::span<const std::uint8_t> bytes);
    Reply execute(const SimCommand& command);

    // A state report (command 130) names at most this many detectors, so that a large complex
    // cannot flood the line.
    static constexpr std::size_t maxStateReports = 32;

private:
    Reply command(const Frame& frame);
    Reply adsCommand(const Frame& frame);
    void report(Reply& reply, EventKind kind, int address, const Point& point, const QString& what);
    std::vector<std::uint8_t> noise(int count);
    std::vector<std::uint8_t> badChecksumFrame(int address);

    SimComplex& complex_;
    CommandFrames frames_;
    std::array<bool, 4> silent_{};
    std::mt19937 random_;
};

} // namespace kirvan::sim
