#pragma once

#include "serial/SerialPort.h"
#include "link/LinkPort.h"

namespace kirvan {

// The serial port as the panel link's port.
class SerialPortLink final : public LinkPort {
public:
    SerialPortLink(SerialPort& port, SerialPorts& ports) : port_(port), ports_(ports) {}

    int inCount() override { return port_.inCount(); }
    std::uint8_t readByte() override { return port_.readByte(); }
    void setParity(Parity parity) override { port_.setParity(parity); }
    int outFree() override { return port_.outFree(); }
    void writeByte(std::uint8_t byte) override { port_.writeByte(byte); }
    bool allSent() override { return port_.allSent(); }
    void close() override { port_.setOpen(false); }
    void openNumber(int comNumber) override
    {
        port_.setOpen(false);
        port_.setComNumber(comNumber);
        port_.setOpen(true);
    }
    bool isOpen() const override { return port_.usable(); }
    bool deviceLost() const override { return port_.isOpen() && !port_.usable(); }
    int openError() const override { return port_.openError(); }
    bool probe(int comNumber) override { return ports_.probe(comNumber); }
    void setOnBytesArrived(BytesArrivedHandler handler) override { port_.setOnBytesArrived(std::move(handler)); }

private:
    SerialPort& port_;
    SerialPorts& ports_;
};

} // namespace kirvan
