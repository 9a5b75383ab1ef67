#pragma once

#include "serial/PseudoTerminal.h"
#include "tools/kirvan-sim/PortClaim.h"
#include "tools/kirvan-sim/SimEngine.h"

#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

namespace kirvan::sim {

// The simulator on a pseudo-terminal linked as ports/COMn of the workstation folder: a reader
// thread hands the workstation's bytes to the engine, a writer thread puts the engine's frames on
// the line as a panel's UART does, byte by byte at 4800 bit/s with the ninth bit (one byte every
// `byteTime`), frames back to back while several are due. Commands may come from any thread.
class SimLine {
public:
    using LogHandler = std::function<void(const QString& line)>;
    // Called on the writer thread right after an item's last byte was written.
    using WrittenHandler
        = std::function<void(const std::vector<std::uint8_t>& item, std::chrono::steady_clock::time_point)>;
    // Start bit, eight data bits, the ninth (parity) bit and a stop bit at 4800 bit/s.
    static constexpr std::chrono::nanoseconds byteTime{1'000'000'000LL * 11 / 4800};

    // Throws ComplexError when there is no pseudo-terminal or the port cannot be claimed.
    SimLine(SimComplex& complex, const QString& folder, int comNumber, LogHandler log);
    ~SimLine();
    SimLine(const SimLine&) = delete;
    SimLine& operator=(const SimLine&) = delete;

    // A command of the prompt or a script; the error text when it cannot run.
    std::optional<QString> execute(QStringView line);
    void execute(const SimCommand& command);
    void setOnWritten(WrittenHandler handler);
    const QString& linkPath() const { return claim_->linkPath(); }

private:
    void apply(const Reply& reply);
    void readLoop();
    void writeLoop();

    SimComplex& complex_;
    LogHandler log_;
    PseudoTerminal terminal_;
    std::unique_ptr<PortClaim> claim_;
    std::mutex engineMutex_; // the engine and the complex's detector states
    SimEngine engine_;
    std::mutex queueMutex_;
    std::condition_variable queued_;
    std::deque<std::vector<std::uint8_t>> queue_;
    WrittenHandler onWritten_;
    std::atomic<bool> stopping_{false};
    std::thread reader_;
    std::thread writer_;
};

} // namespace kirvan::sim
