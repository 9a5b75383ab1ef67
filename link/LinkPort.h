#pragma once

#include "serial/SerialTypes.h"
#include "link/ByteSource.h"

namespace kirvan {

// The serial port as the panel link uses it: bytes in, bytes out with the parity bit as the
// ninth address bit, and the choice of the port.
class LinkPort : public ByteSource {
public:
    // Stored while closed, applied at once while open.
    virtual void setParity(Parity parity) = 0;
    virtual int outFree() = 0;
    virtual void writeByte(std::uint8_t byte) = 0;
    // Whether every byte handed over has left the line (also while closed: nothing will go).
    virtual bool allSent() = 0;

    virtual void close() = 0;
    // Closes, sets the port number and opens; a port that cannot be opened stays closed.
    virtual void openNumber(int comNumber) = 0;
    // Whether the port is open and usable.
    virtual bool isOpen() const = 0;
    // Whether the port was opened and its device has disappeared since (adapter unplugged).
    virtual bool deviceLost() const = 0;
    // Why the last opening failed, as the system said (ENOENT: no device, EACCES: no
    // permission, EBUSY: held by another program); 0 when it succeeded or there was none.
    virtual int openError() const = 0;
    // Whether port n exists and is free: opened exclusively and closed again at once.
    virtual bool probe(int comNumber) = 0;
    // Called on the main thread while received bytes are held; an empty handler unbinds.
    virtual void setOnBytesArrived(BytesArrivedHandler handler) = 0;
};

} // namespace kirvan
