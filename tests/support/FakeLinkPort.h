#pragma once

#include "link/LinkPort.h"
#include "platform/MessageLoop.h"
#include "tests/support/FrameBytes.h"

#include <cerrno>
#include <functional>
#include <set>
#include <vector>

namespace kirvan::testing {

// The serial port on the panel link's side: records every byte handed to it with the parity in
// force and the (virtual) time, delivers received bytes, and plays which ports exist.
class FakeLinkPort final : public LinkPort {
public:
    struct Sent {
        std::uint8_t byte;
        TParity parity;
        std::int64_t at;
        bool operator==(const Sent&) const = default;
    };

    explicit FakeLinkPort(MessageLoop& loop) : loop_(loop) {}

    int InCount() override { return received.InCount(); }
    std::uint8_t ReadByte() override { return received.ReadByte(); }
    void setParity(TParity value) override { parity = value; }
    int OutFree() override { return outFree; }
    void WriteByte(std::uint8_t byte) override
    {
        if (!open)
            return;
        sent.push_back({byte, parity, loop_.now()});
        if (onWritten)
            onWritten(byte);
    }
    void close() override { open = false; }
    void openNumber(int comNumber) override
    {
        opened.push_back(comNumber);
        number = comNumber;
        open = existing.count(comNumber) > 0;
    }
    bool isOpen() const override { return open; }
    int openError() const override { return open ? 0 : refusal; }
    bool probe(int comNumber) override { return existing.count(comNumber) > 0; }

    std::vector<std::uint8_t> sentBytes() const
    {
        std::vector<std::uint8_t> bytes;
        for (const Sent& s : sent)
            bytes.push_back(s.byte);
        return bytes;
    }

    FakeByteSource received;
    std::vector<Sent> sent;
    TParity parity = paNone;
    int outFree = 4096;
    bool open = true;
    int number = 0;
    std::set<int> existing{1, 2, 3, 4};
    // The system's error for a port that does not open.
    int refusal = ENOENT;
    std::vector<int> opened;
    std::function<void(std::uint8_t)> onWritten;

private:
    MessageLoop& loop_;
};

} // namespace kirvan::testing
