#include "serial/SerialPort.h"

#include "serial/ReadThread.h"
#include "serial/StatusThread.h"
#include "serial/WriteThread.h"
#include "platform/MessageLoop.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <utility>

namespace kirvan {

namespace {
// Buffer sizes a port accepts; anything else leaves it closed instead of failing to allocate.
constexpr int largestBuffer = 16 * 1024 * 1024;

bool validBufferSize(int size)
{
    return size > 0 && size <= largestBuffer;
}

// Marks the main thread as being inside an operation that must not start again from within.
class Nesting {
public:
    explicit Nesting(int& depth) : depth_(depth) { ++depth_; }
    ~Nesting() { --depth_; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

private:
    int& depth_;
};
} // namespace

void SerialPort::consumeFront(Buffer& buffer, int n)
{
    const int rest = buffer.count.load() - n;
    std::memmove(buffer.data.data(), buffer.data.data() + n, static_cast<std::size_t>(rest));
    buffer.count = rest;
}

SerialPort::SerialPort(MessageLoop& loop, SerialPorts& ports, PortClock& clock)
    : loop_(loop), ports_(ports), clock_(clock)
{}

SerialPort::~SerialPort()
{
    closePort();
}

void SerialPort::setOpen(bool open)
{
    // A handler of this port runs while a worker waits for it, and opening or closing waits for
    // the workers: from there it could never finish.
    if (changingOpen_ || handOverDepth_ > 0)
        throw std::logic_error("The serial port cannot be opened or closed from its own handlers");
    if (open)
        openPort();
    else
        closePort();
}

void SerialPort::openPort()
{
    if (open_ || !validBufferSize(inSize()) || !validBufferSize(outSize()))
        return;
    Nesting opening(changingOpen_);
    errno = 0;
    device_ = ports_.open(comNumber_);
    if (!device_) {
        openError_ = errno != 0 ? errno : ENODEV;
        return;
    }
    openError_ = 0;
    for (auto [buffer, size] : {std::pair{&tx_, outSize_}, std::pair{&rx_, inSize_}}) {
        buffer->size = size;
        buffer->data.assign(static_cast<std::size_t>(size), 0);
    }

    applyBaudRate();
    setParity(parity_);
    setStopBits(stopBits_);
    setDataBits(dataBits_);

    stopFlag_ = false;
    lost_ = false;
    lostReported_ = false;
    for (PortSignal* signal : {&receiveSignal_, &statusSignal_, &readSignal_, &writeSignal_})
        clock_.reset(*signal);

    statusThread_ = std::make_unique<StatusThread>(*this);
    startThread(*statusThread_, statusSignal_);
    device_->selectEvents(lineEvent::waited);
    readThread_ = std::make_unique<ReadThread>(*this);
    startThread(*readThread_, readSignal_);
    writeThread_ = std::make_unique<WriteThread>(*this);
    startThread(*writeThread_, writeSignal_);

    open_ = true;
    clock_.pause(100);
}

void SerialPort::startThread(PortThread& thread, PortSignal& startSignal)
{
    thread.start();
    clock_.wait(startSignal, 1000);
}

void SerialPort::closePort()
{
    stopFlag_ = true;
    if (!open_ || changingOpen_ > 0)
        return;
    Nesting closing(changingOpen_);

    device_->purge(Queue::Output);
    {
        std::lock_guard lock(tx_.lock);
        tx_.count = 0;
    }
    device_->purge(Queue::Input);
    {
        std::lock_guard lock(rx_.lock);
        rx_.count = 0;
    }

    writeThread_->terminate();
    writeThread_->waitFor();
    writeThread_.reset();
    clock_.set(receiveSignal_);
    readThread_->terminate();
    readThread_->waitFor();
    readThread_.reset();
    device_->selectEvents(0);
    statusThread_->terminate();
    statusThread_->waitFor();
    statusThread_.reset();

    device_.reset();
    dtr_ = false;
    for (Buffer* buffer : {&tx_, &rx_}) {
        buffer->data = {};
        buffer->size = 0;
        buffer->count = 0;
    }
    clock_.pause(100);
    open_ = false;
}

template <typename Change> void SerialPort::applySetting(Change change)
{
    if (!device_ || !device_->readSettings(settings_))
        return;
    change(settings_);
    device_->writeSettings(settings_);
}

void SerialPort::applyBaudRate()
{
    applySetting([this](LineSettings& settings) {
        settings.baud = baudOf(baudRate_);
        // Output waits for CTS and DSR; no software flow control, no parity check on input.
        settings.ctsFlow = true;
        settings.dsrFlow = true;
    });
}

void SerialPort::setBaudRate(BaudRate rate)
{
    baudRate_ = rate;
    applyBaudRate();
}

void SerialPort::setBaud(int bitsPerSecond)
{
    if (const auto rate = baudRateOf(bitsPerSecond))
        setBaudRate(*rate);
}

void SerialPort::setParity(Parity parity)
{
    parity_ = parity;
    applySetting([parity](LineSettings& settings) { settings.parity = parity; });
}

void SerialPort::setStopBits(StopBits stopBits)
{
    stopBits_ = stopBits;
    applySetting([stopBits](LineSettings& settings) { settings.stopBits = stopBits; });
}

void SerialPort::setDataBits(int dataBits)
{
    dataBits_ = dataBits;
    applySetting([dataBits](LineSettings& settings) { settings.dataBits = dataBits; });
}

void SerialPort::setDtr(bool on)
{
    dtr_ = on;
    if (device_)
        device_->setControlLine(ControlLine::Dtr, on);
}

void SerialPort::setRts(bool on)
{
    rts_ = on;
    if (device_)
        device_->setControlLine(ControlLine::Rts, on);
}

void SerialPort::setOnBytesArrived(BytesArrivedHandler handler)
{
    onBytesArrived_ = std::move(handler);
    bytesArrivedBound_ = static_cast<bool>(onBytesArrived_);
}

int SerialPort::writeBuf(std::span<const std::uint8_t> data)
{
    if (!usable())
        return 0;
    std::lock_guard lock(tx_.lock);
    const int held = tx_.count.load();
    const int n = static_cast<int>(std::min<std::size_t>(data.size(), static_cast<std::size_t>(tx_.size - held)));
    std::copy_n(data.begin(), n, tx_.data.begin() + held);
    tx_.count = held + n;
    return n;
}

int SerialPort::writeByte(std::uint8_t byte)
{
    return writeBuf(std::span(&byte, 1));
}

int SerialPort::readBuf(std::span<std::uint8_t> into)
{
    if (!open_)
        return 0;
    std::lock_guard lock(rx_.lock);
    const int n = static_cast<int>(std::min<std::size_t>(into.size(), static_cast<std::size_t>(rx_.count.load())));
    std::copy_n(rx_.data.begin(), n, into.begin());
    consumeFront(rx_, n);
    return n;
}

bool SerialPort::allSent()
{
    if (!usable() || !device_)
        return true;
    // The count drops only once the write thread has handed the bytes to the driver.
    return tx_.count.load() == 0 && device_->outputDrained();
}

std::uint8_t SerialPort::readByte()
{
    std::uint8_t byte = 0;
    return readBuf(std::span(&byte, 1)) == 1 ? byte : 0;
}

void SerialPort::deliverBytesArrived()
{
    // Once closing has begun the buffer is being discarded; there is nothing left to report.
    const int held = rx_.count.load();
    if (stopFlag_ || held <= 0 || !onBytesArrived_)
        return;
    // A copy: the handler may bind another one.
    const auto handler = onBytesArrived_;
    handler(static_cast<std::uint16_t>(std::min(held, int{std::numeric_limits<std::uint16_t>::max()})));
}

void SerialPort::lineLost()
{
    lost_ = true;
    clock_.set(receiveSignal_);
    if (!lostReported_.exchange(true))
        lostReport_.run();
}

void SerialPort::reportLineLost()
{
    if (onLineLost_) {
        const auto handler = onLineLost_;
        handler();
    }
}

} // namespace kirvan
