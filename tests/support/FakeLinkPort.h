#pragma once

#include "link/LinkPort.h"
#include "platform/MessageLoop.h"
#include "tests/support/FrameBytes.h"

#include <algorithm>
#include <cerrno>
#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <vector>

namespace kirvan::testing {

// The serial port on the panel link's side, with the line behind it: records every byte with the
// parity in force when it reaches the line and the (virtual) time it was handed over, delivers
// received bytes, and plays which ports exist. By default a byte reaches the line at once; with
// `linePace` it waits for the port's write pass and for the bytes before it, takes a byte time on
// the line, and does not start while CTS holds the line.
class FakeLinkPort final : public LinkPort {
public:
    struct Sent {
        std::uint8_t byte;
        Parity parity;
        std::int64_t at;
        bool operator==(const Sent&) const = default;
    };
    struct Pace {
        std::int64_t byteMicroseconds;
        std::int64_t writePassMs; // bytes are taken from the port's buffer at multiples of this
    };
    // 4800 bit/s, 11 bits a byte; the port's write thread makes a pass every 100 ms.
    static constexpr Pace panelLine{2292, 100};

    explicit FakeLinkPort(MessageLoop& loop) : loop_(loop) {}

    int inCount() override { return received.inCount(); }
    std::uint8_t readByte() override { return received.readByte(); }
    void setParity(Parity value) override
    {
        // The bytes that started before the change keep the parity they left with.
        advanceLine();
        parity = value;
    }
    int outFree() override { return freeSpace; }
    void writeByte(std::uint8_t byte) override
    {
        if (!isOpen())
            return;
        waiting_.push_back({byte, Parity::none, loop_.now()});
        advanceLine();
        if (onWritten)
            onWritten(byte);
    }
    bool allSent() override
    {
        advanceLine();
        return waiting_.empty() && lineFreeUs_ <= nowUs();
    }
    void close() override { open = lost = false; }
    void openNumber(int comNumber) override
    {
        opened.push_back(comNumber);
        number = comNumber;
        open = existing.count(comNumber) > 0;
        lost = false;
    }
    bool isOpen() const override { return open && !lost; }
    bool deviceLost() const override { return open && lost; }
    int openError() const override { return open ? 0 : refusal; }
    bool probe(int comNumber) override { return existing.count(comNumber) > 0; }
    // The tests hand the receiver its bytes themselves.
    void setOnBytesArrived(BytesArrivedHandler) override {}

    // CTS off holds the bytes not yet started; on lets them go from now.
    void holdLine(bool held)
    {
        advanceLine();
        ctsHeld_ = held;
        lineFreeUs_ = std::max(lineFreeUs_, nowUs());
        advanceLine();
    }

    std::vector<std::uint8_t> sentBytes() const
    {
        std::vector<std::uint8_t> bytes;
        for (const Sent& s : sent)
            bytes.push_back(s.byte);
        return bytes;
    }

    FakeByteSource received;
    // The bytes that have reached the line.
    std::vector<Sent> sent;
    Parity parity = Parity::none;
    int freeSpace = 4096;
    bool open = true;
    // The device has disappeared while open: nothing goes out until the port is opened again.
    bool lost = false;
    int number = 0;
    std::set<int> existing{1, 2, 3, 4};
    // The system's error for a port that does not open.
    int refusal = ENOENT;
    std::vector<int> opened;
    std::function<void(std::uint8_t)> onWritten;
    std::optional<Pace> linePace;

private:
    std::int64_t nowUs() const { return loop_.now() * 1000; }

    // Starts every byte whose time has come, with the parity in force now.
    void advanceLine()
    {
        while (!waiting_.empty() && !ctsHeld_) {
            const Sent& next = waiting_.front();
            std::int64_t startUs = next.at * 1000;
            if (linePace) {
                const std::int64_t pass = linePace->writePassMs;
                startUs = (next.at + pass - 1) / pass * pass * 1000;
                startUs = std::max(startUs, lineFreeUs_);
            }
            if (startUs > nowUs())
                return;
            sent.push_back({next.byte, parity, next.at});
            lineFreeUs_ = startUs + (linePace ? linePace->byteMicroseconds : 0);
            waiting_.pop_front();
        }
    }

    MessageLoop& loop_;
    std::deque<Sent> waiting_;
    std::int64_t lineFreeUs_ = 0;
    bool ctsHeld_ = false;
};

} // namespace kirvan::testing
