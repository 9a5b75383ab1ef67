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
// receive buffer that three worker threads move to and from the line, and reports arrivals and
// line signals to its owner on the main thread. Properties and operations are for the main
// thread.
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

    // The line status of the last event dispatch.
    const LineStatus& lastLineStatus() const { return lastStatus_; }

public:
    int comNumber() const { return comNumber_; }
    void setComNumber(int number) { comNumber_ = number; }
    BaudRate baudRate() const { return baudRate_; }
    void setBaudRate(BaudRate rate);
    Parity parity() const { return parity_; }
    void setParity(Parity parity);
    StopBits stopBits() const { return stopbits_; }
    void setStopBits(StopBits stopbits);
    int dataBits() const { return databits_; }
    void setDataBits(int databits);
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
    LineEvents monitorEvents() const { return monitorEvents_; }
    void setMonitorEvents(LineEvents events) { monitorEvents_ = events; }

    // The modem-line states the status thread keeps.
    bool cts() const { return ctsState_.load(); }
    bool dsr() const { return dsrState_.load(); }
    bool rlsd() const { return rlsdState_.load(); }
    bool ring() const { return ringState_.load(); }

    void setOnOpen(PortOpenHandler handler) { onOpen_ = std::move(handler); }
    void setOnBreakSignal(PortHandler handler) { onBreakSignal_ = std::move(handler); }
    void setOnCTSSignal(PortHandler handler) { onCTSSignal_ = std::move(handler); }
    void setOnDSRSignal(PortHandler handler) { onDSRSignal_ = std::move(handler); }
    void setOnErrorSignal(PortErrorHandler handler) { onErrorSignal_ = std::move(handler); }
    void setOnRingSignal(PortHandler handler) { onRingSignal_ = std::move(handler); }
    void setOnRLSDSignal(PortHandler handler) { onRLSDSignal_ = std::move(handler); }
    void setOnTriggerAvail(BytesHandler handler);
    void setOnTxEmptySignal(PortHandler handler) { onTxEmptySignal_ = std::move(handler); }
    void setOnDTRSignal(PortHandler handler) { onDTRSignal_ = std::move(handler); }
    // Kept for compatibility with forms that bind them; the port never raises these two.
    void setOnRxDSignal(PortHandler handler) { onRxDSignal_ = std::move(handler); }
    void setOnTxDSignal(PortHandler handler) { onTxDSignal_ = std::move(handler); }
    // Called once when the device disappears while open.
    void setOnLineLost(PortHandler handler) { onLineLost_ = std::move(handler); }

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
    void deliverTriggerAvail();
    void dispatch(std::uint32_t eventWord);
    void reportLineLost();
    // Any thread: the device has disappeared. Stops the threads; the first caller reports it.
    void lineLost();
    // A worker's pass reads the line status and clears the device's errors; the errors are kept
    // for the next dispatch, so that clearing them there does not hide them from OnErrorSignal.
    // Clearing and keeping are one step for the dispatch, which could otherwise run between them
    // and report an error event without its errors.
    std::optional<LineStatus> clearAndKeepErrors(SerialDevice& device);
    // The threads leave their loops once this holds.
    bool stopping() const { return stopFlag_.load() || lost_.load(); }

    MessageLoop& loop_;
    SerialPorts& ports_;
    PortClock& clock_;

    std::unique_ptr<SerialDevice> device_;
    LineStatus lastStatus_;
    LineSettings settings_;
    std::unique_ptr<StatusThread> statusThread_;
    std::unique_ptr<WriteThread> writeThread_;
    std::unique_ptr<ReadThread> readThread_;
    int comNumber_ = 2;
    BaudRate baudRate_ = cbr19200;
    Parity parity_ = paNone;
    StopBits stopbits_ = sb1_0;
    int databits_ = 8;
    LineEvents monitorEvents_ = allEvents;
    int inSize_ = 2048;
    int outSize_ = 4096;

    PortOpenHandler onOpen_;
    PortHandler onBreakSignal_;
    PortHandler onCTSSignal_;
    PortHandler onDSRSignal_;
    PortErrorHandler onErrorSignal_;
    PortHandler onRingSignal_;
    PortHandler onRLSDSignal_;
    BytesHandler onTriggerAvail_;
    PortHandler onTxEmptySignal_;
    PortHandler onDTRSignal_;
    PortHandler onRxDSignal_;
    PortHandler onTxDSignal_;
    PortHandler onLineLost_;
    // Whether OnTriggerAvail is bound, for the read thread.
    std::atomic<bool> triggerAvailBound_{false};

    bool dtr_ = false;
    bool rts_ = false;
    std::atomic<bool> rlsdState_{false};
    std::atomic<bool> ctsState_{false};
    std::atomic<bool> dsrState_{false};
    std::atomic<bool> open_{false};

    PortSignal receiveSignal_{"receive"};
    PortSignal statusSignal_{"status thread"};
    PortSignal readSignal_{"read thread"};
    PortSignal writeSignal_{"write thread"};

    std::atomic<bool> stopFlag_{false};
    std::atomic<bool> lost_{false};
    std::atomic<bool> lostReported_{false};
    std::mutex errorsLock_;
    std::uint32_t keptErrors_ = 0; // guarded by errorsLock_
    Buffer tx_;
    Buffer rx_;
    std::atomic<bool> ringState_{false};

    // Opening or closing is under way, or a worker's routine is running: the main thread is
    // inside a wait, and opening or closing again from there would wait for itself.
    int changingOpen_ = 0;
    int openError_ = 0;
    int handOverDepth_ = 0;
    HandOver lostReport_{loop_, handOverDepth_, [this] { reportLineLost(); }};
};

} // namespace kirvan
