#pragma once

#include "serial/SerialTypes.h"
#include "serial/HandOver.h"
#include "serial/PortClock.h"
#include "serial/SerialDevice.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

namespace kirvan {

class MessageLoop;
class StatusThread;
class ReadThread;
class WriteThread;
class PortThread;

// The serial port: opens a port by number, applies the line settings, keeps a transmit and a
// receive buffer that three worker threads move to and from the line, and tells its owner on the
// main thread when bytes have arrived and when the device has gone. Everything here is for the
// main thread.
class SerialPort final {
public:
    SerialPort(MessageLoop& loop, SerialPorts& ports, PortClock& clock);
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Bytes held in the receive buffer.
    int inCount() const { return rx_.count.load(); }
    // Free space of the transmit buffer: outSize while closed, else the space left of the size
    // the buffer was opened with.
    int outFree() const { return (open_.load() ? tx_.size : outSize_) - tx_.count.load(); }
    // Removes and returns the first received byte; 0 when none is held (check inCount first).
    std::uint8_t readByte();
    // Appends one byte to the transmit buffer; 1 if it was taken.
    int writeByte(std::uint8_t byte);
    // Appends as much of data as fits and returns that count; 0 while closed or unusable.
    int writeBuf(std::span<const std::uint8_t> data);
    // Takes up to into.size() bytes from the front of the receive buffer; 0 while closed.
    int readBuf(std::span<std::uint8_t> into);

    // Whether every byte handed over has left the line: the transmit buffer is empty and the
    // driver has sent them all. True while closed or unusable, when nothing more will go out.
    // A change of the parity applies to the next byte the line sends, so it waits for this.
    bool allSent();

    // False once the device has disappeared while open (adapter unplugged): the threads have
    // stopped, and the owner closes the port and opens it again when the device is back.
    bool usable() const { return open_.load() && !lost_.load(); }

    int comNumber() const { return comNumber_; }
    void setComNumber(int number) { comNumber_ = number; }
    BaudRate baudRate() const { return baudRate_; }
    void setBaudRate(BaudRate rate);
    Parity parity() const { return parity_; }
    void setParity(Parity parity);
    StopBits stopBits() const { return stopBits_; }
    void setStopBits(StopBits stopBits);
    int dataBits() const { return dataBits_; }
    void setDataBits(int dataBits);
    int inSize() const { return inSize_; }
    void setInSize(int size) { inSize_ = size; }
    int outSize() const { return outSize_; }
    void setOutSize(int size) { outSize_ = size; }
    bool isOpen() const { return open_.load(); }
    // Why the last opening failed, as the system said (ENOENT: no device, EACCES: no
    // permission, EBUSY: held by another program); 0 after an opening that succeeded.
    int openError() const { return openError_; }
    void setOpen(bool open);
    bool dtr() const { return dtr_; }
    void setDtr(bool on);
    bool rts() const { return rts_; }
    void setRts(bool on);
    int baud() const { return baudOf(baudRate_); }
    void setBaud(int bitsPerSecond);

    // CTS as the status thread last saw it: the write thread sends only while it is on.
    bool cts() const { return ctsState_.load(); }

    // Called with the count held, on every pass of the read thread while bytes are held.
    void setOnBytesArrived(BytesArrivedHandler handler);
    // Called once when the device disappears while open.
    void setOnLineLost(LineLostHandler handler) { onLineLost_ = std::move(handler); }

private:
    friend class StatusThread;
    friend class ReadThread;
    friend class WriteThread;

    struct Buffer {
        std::mutex lock;
        std::vector<std::uint8_t> data;
        // The size in force since opening; inSize and outSize only change it at the next opening.
        int size = 0;
        // Written under the lock; read without it by inCount, outFree and the threads' tests.
        std::atomic<int> count{0};
    };

    // Takes n bytes off the front of a buffer whose lock the caller holds.
    static void consumeFront(Buffer& buffer, int n);

    void openPort();
    void closePort();
    void startThread(PortThread& thread, PortSignal& startSignal);
    // Reads the settings record, lets change() alter one field and writes it back.
    template <typename Change> void applySetting(Change change);
    void applyBaudRate();

    // Routines the worker threads hand to the main thread.
    void deliverBytesArrived();
    void reportLineLost();
    // Any thread: the device has disappeared. Stops the threads; the first caller reports it.
    void lineLost();
    // The threads leave their loops once this holds.
    bool stopping() const { return stopFlag_.load() || lost_.load(); }

    MessageLoop& loop_;
    SerialPorts& ports_;
    PortClock& clock_;

    std::unique_ptr<SerialDevice> device_;
    LineSettings settings_;
    std::unique_ptr<StatusThread> statusThread_;
    std::unique_ptr<WriteThread> writeThread_;
    std::unique_ptr<ReadThread> readThread_;
    int comNumber_ = 2;
    BaudRate baudRate_ = BaudRate::bps19200;
    Parity parity_ = Parity::none;
    StopBits stopBits_ = StopBits::one;
    int dataBits_ = 8;
    int inSize_ = 2048;
    int outSize_ = 4096;

    BytesArrivedHandler onBytesArrived_;
    LineLostHandler onLineLost_;
    // Whether onBytesArrived_ is bound, for the read thread.
    std::atomic<bool> bytesArrivedBound_{false};

    bool dtr_ = false;
    bool rts_ = false;
    std::atomic<bool> ctsState_{false};
    std::atomic<bool> open_{false};

    PortSignal receiveSignal_{"receive"};
    PortSignal statusSignal_{"status thread"};
    PortSignal readSignal_{"read thread"};
    PortSignal writeSignal_{"write thread"};

    std::atomic<bool> stopFlag_{false};
    std::atomic<bool> lost_{false};
    std::atomic<bool> lostReported_{false};
    Buffer tx_;
    Buffer rx_;

    // Opening or closing is under way, or a worker's routine is running: the main thread is
    // inside a wait, and opening or closing again from there would wait for itself.
    int changingOpen_ = 0;
    int openError_ = 0;
    int handOverDepth_ = 0;
    HandOver lostReport_{loop_, handOverDepth_, [this] { reportLineLost(); }};
};

} // namespace kirvan
