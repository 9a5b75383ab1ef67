#pragma once

#include "CommPort/CommPort.h"
#include "link/LinkPort.h"

namespace kirvan {

// The main window's CommPort1 as the panel link's port.
class CommPortLink final : public LinkPort {
public:
    CommPortLink(TCommPort& port, SerialPorts& ports) : port_(port), ports_(ports) {}

    int InCount() override { return port_.InCount(); }
    std::uint8_t ReadByte() override { return port_.ReadByte(); }
    void setParity(TParity parity) override { port_.setParity(parity); }
    int OutFree() override { return port_.OutFree(); }
    void WriteByte(std::uint8_t byte) override { port_.WriteByte(byte); }
    bool AllSent() override { return port_.AllSent(); }
    void close() override { port_.setOpen(false); }
    void openNumber(int comNumber) override
    {
        port_.setOpen(false);
        port_.setComNumber(comNumber);
        port_.setOpen(true);
    }
    bool isOpen() const override { return port_.Usable(); }
    bool deviceLost() const override { return port_.Open() && !port_.Usable(); }
    int openError() const override { return port_.OpenError(); }
    bool probe(int comNumber) override { return ports_.probe(comNumber); }

private:
    TCommPort& port_;
    SerialPorts& ports_;
};

} // namespace kirvan
