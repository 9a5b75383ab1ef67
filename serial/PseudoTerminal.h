#pragma once

#include <QString>
#include <chrono>
#include <cstdint>
#include <vector>

namespace kirvan {

// The far end of a pseudo-terminal pair: the holder (the complex simulator, a test, a measuring
// tool) keeps the master side, the port opens the slave side through a link in the workstation
// folder, as an adapter's link would be.
class PseudoTerminal {
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    bool valid() const { return master_ >= 0; }
    const QString& slavePath() const { return slavePath_; }
    // Makes `link` (e.g. .../ports/COM3) point at the slave side, replacing an older link.
    bool linkAs(const QString& link) const;

    // Writes all bytes; false if the other side is gone or takes nothing for 200 ms.
    bool write(const std::vector<std::uint8_t>& bytes) const;
    // Reads until n bytes came or the timeout passed.
    std::vector<std::uint8_t> read(std::size_t n, std::chrono::milliseconds timeout) const;
    // Whatever has come, once something came or the timeout passed (then nothing).
    std::vector<std::uint8_t> readAvailable(std::chrono::milliseconds timeout) const;
    // Keeps the slave side open and raw for as long as this end lives. Without it, bytes written
    // before the port opens are echoed back by the line discipline, and the master reports a
    // hang-up whenever no port holds the slave. False when the slave cannot be opened.
    bool holdSlaveRaw();
    void close();

private:
    int master_ = -1;
    int heldSlave_ = -1;
    QString slavePath_;
};

} // namespace kirvan
