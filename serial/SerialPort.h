#pragma once

#include "CommPort/CommTypes.h"
#include "CommPort/HandOver.h"
#include "CommPort/PortClock.h"
#include "CommPort/SerialDevice.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

namespace kirvan {

class MessageLoop;
class TStatusThread;
class TReadThread;
class TWriteThread;
class PortThread;

// The serial port: opens a port by number, applies the line settings, keeps a transmit and a
// receive buffer that three worker threads move to and from the line, and reports arrivals and
// line signals to its owner on the main thread. Properties and operations are for the main
// thread; TCommPort publishes them.
class TCustomCommPort {
public:
    TCustomCommPort(MessageLoop& loop, SerialPorts& ports, PortClock& clock);
    virtual ~TCustomCommPort();
    TCustomCommPort(const TCustomCommPort&) = delete;
    TCustomCommPort& operator=(const TCustomCommPort&) = delete;

    // Bytes held in the receive buffer.
    int InCount() const { return rx_.count.load(); }
    // Free space of the transmit buffer: OutSize while closed, else the space left of the size
    // the buffer was opened with.
    int OutFree() const { return (open_.load() ? tx_.size : outSize_) - tx_.count.load(); }
    // Removes and returns the first received byte; 0 when none is held (check InCount first).
    std::uint8_t ReadByte();
    // Appends one byte to the transmit buffer; 1 if it was taken.
    int WriteByte(std::uint8_t byte);
    // Appends as much of data as fits and returns that count; 0 while closed or unusable.
    int WriteBuf(std::span<const std::uint8_t> data);
    // Takes up to into.size() bytes from the front of the receive buffer; 0 while closed.
    int ReadBuf(std::span<std::uint8_t> into);

    // Whether every byte handed over has left the line: the transmit buffer is empty and the
    // driver has sent them all. True while closed or unusable, when nothing more will go out.
    // A change of the parity applies to the next byte the line sends, so it waits for this.
    bool AllSent();

    // False once the device has disappeared while open (adapter unplugged): the threads have
    // stopped, and the owner closes the port and opens it again when the device is back.
    bool Usable() const { return open_.load() && !lost_.load(); }

    // The line status of the last event dispatch.
    const LineStatus& LastLineStatus() const { return lastStatus_; }

protected:
    int ComNumber() const { return comNumber_; }
    void setComNumber(int number) { comNumber_ = number; }
    TBaudRate BaudRate() const { return baudRate_; }
    void setBaudRate(TBaudRate rate);
    TParity Parity() const { return parity_; }
    void setParity(TParity parity);
    TStopbits Stopbits() const { return stopbits_; }
    void setStopbits(TStopbits stopbits);
    int Databits() const { return databits_; }
    void setDatabits(int databits);
    int InSize() const { return inSize_; }
    void setInSize(int size) { inSize_ = size; }
    int OutSize() const { return outSize_; }
    void setOutSize(int size) { outSize_ = size; }
    bool Open() const { return open_.load(); }
    // Why the last opening failed, as the system said (ENOENT: no device, EACCES: no
    // permission, EBUSY: held by another program); 0 after an opening that succeeded.
    int OpenError() const { return openError_; }
    void setOpen(bool open);
    bool DTR() const { return dtr_; }
    void setDTR(bool on);
    bool RTS() const { return rts_; }
    void setRTS(bool on);
    int Baud() const { return baudOf(baudRate_); }
    void setBaud(int bitsPerSecond);
    TC32EventType MonitorEvents() const { return monitorEvents_; }
    void setMonitorEvents(TC32EventType events) { monitorEvents_ = events; }

    // The modem-line states the status thread keeps.
    bool CTS() const { return ctsState_.load(); }
    bool DSR() const { return dsrState_.load(); }
    bool RLSD() const { return rlsdState_.load(); }
    bool Ring() const { return ringState_.load(); }

    void setOnOpen(TC32OpenEvent handler) { onOpen_ = std::move(handler); }
    void setOnBreakSignal(TNotifyEvent handler) { onBreakSignal_ = std::move(handler); }
    void setOnCTSSignal(TNotifyEvent handler) { onCTSSignal_ = std::move(handler); }
    void setOnDSRSignal(TNotifyEvent handler) { onDSRSignal_ = std::move(handler); }
    void setOnErrorSignal(TC32ErrorEvent handler) { onErrorSignal_ = std::move(handler); }
    void setOnRingSignal(TNotifyEvent handler) { onRingSignal_ = std::move(handler); }
    void setOnRLSDSignal(TNotifyEvent handler) { onRLSDSignal_ = std::move(handler); }
    void setOnTriggerAvail(TTriggerAvailEvent handler);
    void setOnTxEmptySignal(TNotifyEvent handler) { onTxEmptySignal_ = std::move(handler); }
    void setOnDTRSignal(TNotifyEvent handler) { onDTRSignal_ = std::move(handler); }
    // Kept for compatibility with forms that bind them; the port never raises these two.
    void setOnRxDSignal(TNotifyEvent handler) { onRxDSignal_ = std::move(handler); }
    void setOnTxDSignal(TNotifyEvent handler) { onTxDSignal_ = std::move(handler); }
    // Called once when the device disappears while open.
    void setOnLineLost(TNotifyEvent handler) { onLineLost_ = std::move(handler); }

private:
    friend class TStatusThread;
    friend class TReadThread;
    friend class TWriteThread;

    struct Buffer {
        std::mutex lock;
        std::vector<std::uint8_t> data;
        // The size in force since opening; InSize and OutSize only change it at the next opening.
        int size = 0;
        // Written under the lock; read without it by InCount, OutFree and the threads' tests.
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
    std::unique_ptr<TStatusThread> statusThread_;
    std::unique_ptr<TWriteThread> writeThread_;
    std::unique_ptr<TReadThread> readThread_;
    int comNumber_ = 2;
    TBaudRate baudRate_ = cbr19200;
    TParity parity_ = paNone;
    TStopbits stopbits_ = sb1_0;
    int databits_ = 8;
    TC32EventType monitorEvents_ = allEvents;
    int inSize_ = 2048;
    int outSize_ = 4096;

    TC32OpenEvent onOpen_;
    TNotifyEvent onBreakSignal_;
    TNotifyEvent onCTSSignal_;
    TNotifyEvent onDSRSignal_;
    TC32ErrorEvent onErrorSignal_;
    TNotifyEvent onRingSignal_;
    TNotifyEvent onRLSDSignal_;
    TTriggerAvailEvent onTriggerAvail_;
    TNotifyEvent onTxEmptySignal_;
    TNotifyEvent onDTRSignal_;
    TNotifyEvent onRxDSignal_;
    TNotifyEvent onTxDSignal_;
    TNotifyEvent onLineLost_;
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
