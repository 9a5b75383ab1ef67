#pragma once

#include "serial/SerialDevice.h"

#include <QString>
#include <atomic>
#include <mutex>

namespace kirvan {

// A terminal device opened exclusively (an exclusive lock, and TIOCEXCL except on a pseudo-terminal,
// where a killed holder would leave it set), so neither another program nor a second port object
// of this one can share it. Line events are built from poll():
// readable data, hang-up of the device, and changes of the modem lines and of the kernel's error
// counters, looked at every 50 ms where the device has them. Devices without modem lines
// (pseudo-terminals, many USB adapters) count CTS and DSR as on.
class PosixSerialDevice final : public SerialDevice {
public:
    // Nothing when the device cannot be opened, is in use, or is not a terminal; errno says why.
    static std::unique_ptr<PosixSerialDevice> open(const QString& path);
    // Whether the device exists, is a terminal and is not held by another program (exclusive use
    // or the lock this program takes). It changes nothing: no line settings, no flush, no
    // exclusive mode left behind, so a port another program works on is not disturbed.
    static bool probe(const QString& path);
    ~PosixSerialDevice() override;

    bool readSettings(LineSettings& settings) override;
    bool writeSettings(const LineSettings& settings) override;
    std::optional<ModemLines> modemLines() override;
    void setControlLine(ControlLine line, bool on) override;
    std::optional<LineStatus> clearErrors() override;
    void purge(Queue queue) override;
    void selectEvents(std::uint32_t mask) override;
    WaitStart startEventWait(std::uint32_t& events) override;
    bool finishEventWait(std::uint32_t& events) override;
    std::optional<int> read(std::span<std::uint8_t> into) override;
    std::optional<int> write(std::span<const std::uint8_t> from) override;
    bool outputDrained() override;
    bool lost() const override { return lost_.load(); }

private:
    // The kernel's counts of line errors, breaks and rings.
    struct Counters {
        int frame = 0;
        int overrun = 0;
        int parity = 0;
        int bufferOverrun = 0;
        int brk = 0;
        int ring = 0;
        // The lineError flags of the counts that changed since then.
        std::uint32_t errorFlags(const Counters& since) const;
    };

    PosixSerialDevice(int fd, int wakeFd);
    // A failed call: marks the device lost when the error says it has gone.
    void failed(int error);
    std::optional<int> queueCount(unsigned long request);
    std::optional<Counters> counters();
    // Events since the last look, among the selected ones.
    std::uint32_t newEvents();
    bool needsTicking() const;

    const int fd_;
    const int wakeFd_; // ends a pending event wait
    std::atomic<bool> lost_{false};
    std::atomic<std::uint32_t> mask_{0};
    std::atomic<std::uint64_t> selections_{0};
    std::atomic<bool> txBusy_{false};
    // Bytes the reader took since the status thread last looked, so that a new arrival of the
    // same size as the bytes just taken still counts as new.
    std::atomic<int> rxTaken_{0};
    bool hasModemLines_ = false;
    bool hasCounters_ = false;

    // Status thread only: what the last look saw.
    std::uint64_t waitSelection_ = 0;
    int rxSeen_ = 0;
    int modemSeen_ = 0;
    Counters countersSeen_;

    std::mutex errorsLock_;
    Counters errorsCleared_;
};

// Ports by number: COM n is the file ports/COMn of the workstation folder when there is one
// (usually a symbolic link to the adapter or a pseudo-terminal), otherwise /dev/ttyS<n-1>.
class PosixSerialPorts final : public SerialPorts {
public:
    explicit PosixSerialPorts(QString workstationFolder);
    std::unique_ptr<SerialDevice> open(int comNumber) override;
    bool probe(int comNumber) override;

private:
    QString workstationFolder_;
};

} // namespace kirvan
