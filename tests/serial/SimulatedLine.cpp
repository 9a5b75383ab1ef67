#include "tests/serial/SimulatedLine.h"

#include "tests/serial/ManualPortClock.h"

#include <QString>
#include <algorithm>

namespace kirvan::testing {

namespace {
std::string hex(std::uint32_t value)
{
    return QString::number(value, 16).toStdString();
}
} // namespace

class SimulatedLine::Device final : public SerialDevice {
public:
    explicit Device(SimulatedLine& line) : line_(line) {}

    ~Device() override
    {
        std::lock_guard lock(line_.mutex_);
        line_.device_ = nullptr;
        line_.clock_.note("close");
    }

    bool readSettings(LineSettings& settings) override
    {
        std::lock_guard lock(line_.mutex_);
        settings = line_.settings_;
        return !line_.lost_;
    }

    bool writeSettings(const LineSettings& settings) override
    {
        std::lock_guard lock(line_.mutex_);
        if (line_.lost_ || settings.dataBits < 5 || settings.dataBits > 8)
            return false;
        line_.settings_ = settings;
        return true;
    }

    std::optional<ModemLines> modemLines() override
    {
        std::lock_guard lock(line_.mutex_);
        if (line_.lost_)
            return std::nullopt;
        return line_.modem_;
    }

    void setControlLine(ControlLine line, bool on) override
    {
        std::lock_guard lock(line_.mutex_);
        (line == ControlLine::Dtr ? line_.dtr_ : line_.rts_) = on;
    }

    std::optional<LineStatus> clearErrors() override
    {
        std::lock_guard lock(line_.mutex_);
        if (line_.lost_)
            return std::nullopt;
        const LineStatus status{line_.errors_, static_cast<std::uint32_t>(line_.input_.size()),
                                static_cast<std::uint32_t>(line_.output_.size())};
        line_.errors_ = 0;
        return status;
    }

    void purge(Queue queue) override
    {
        std::lock_guard lock(line_.mutex_);
        (queue == Queue::Input ? line_.input_ : line_.output_).clear();
        line_.clock_.note(queue == Queue::Input ? "purge input" : "purge output");
    }

    void selectEvents(std::uint32_t mask) override
    {
        {
            std::lock_guard lock(line_.mutex_);
            line_.mask_ = mask;
            ++line_.selections_;
            line_.clock_.note("select events " + hex(mask));
        }
        line_.changed_.notify_all();
    }

    WaitStart startEventWait(std::uint32_t& events) override
    {
        std::lock_guard lock(line_.mutex_);
        if (line_.lost_ || line_.mask_ == 0)
            return WaitStart::Failed;
        waitSelection_ = line_.selections_;
        events = takeEvents();
        return events != 0 ? WaitStart::Done : WaitStart::Pending;
    }

    bool finishEventWait(std::uint32_t& events) override
    {
        std::unique_lock lock(line_.mutex_);
        ++line_.eventWaiters_;
        line_.waiterSelection_ = waitSelection_;
        if (line_.onWait_)
            line_.onWait_();
        line_.changed_.wait(lock, [&] {
            return line_.lost_ || (line_.pendingEvents_ & line_.mask_) != 0
                   || (line_.selections_ != waitSelection_ && line_.mask_ == 0);
        });
        --line_.eventWaiters_;
        events = takeEvents();
        return !line_.lost_;
    }

    std::optional<int> read(std::span<std::uint8_t> into) override
    {
        std::lock_guard lock(line_.mutex_);
        if (line_.lost_ || std::exchange(line_.failRead_, false))
            return std::nullopt;
        const auto n = std::min(into.size(), line_.input_.size());
        std::copy_n(line_.input_.begin(), n, into.begin());
        line_.input_.erase(line_.input_.begin(), line_.input_.begin() + static_cast<std::ptrdiff_t>(n));
        return static_cast<int>(n);
    }

    std::optional<int> write(std::span<const std::uint8_t> from) override
    {
        std::lock_guard lock(line_.mutex_);
        if (line_.lost_ || std::exchange(line_.failWrite_, false))
            return std::nullopt;
        line_.output_.insert(line_.output_.end(), from.begin(), from.end());
        line_.transmit();
        return static_cast<int>(from.size());
    }

    bool outputDrained() override
    {
        std::lock_guard lock(line_.mutex_);
        return line_.lost_ || line_.output_.empty();
    }

    bool lost() const override
    {
        std::lock_guard lock(line_.mutex_);
        return line_.lost_;
    }

private:
    // Called under the line's lock.
    std::uint32_t takeEvents()
    {
        const std::uint32_t events = line_.pendingEvents_ & line_.mask_;
        line_.pendingEvents_ = 0;
        return events;
    }

    SimulatedLine& line_;
    std::uint64_t waitSelection_ = 0;
};

SimulatedLine::SimulatedLine(ManualPortClock& clock) : clock_(clock) {}

SimulatedLine::~SimulatedLine() = default;

std::unique_ptr<SerialDevice> SimulatedLine::open(int comNumber)
{
    std::lock_guard lock(mutex_);
    if (refuseOpening_ || device_ || comNumber < 1 || comNumber > 10)
        return nullptr;
    auto device = std::make_unique<Device>(*this);
    device_ = device.get();
    openedNumber_ = comNumber;
    lost_ = false;
    mask_ = 0;
    pendingEvents_ = 0;
    clock_.note("open COM" + std::to_string(comNumber));
    return device;
}

void SimulatedLine::setRefuseOpening(bool refuse)
{
    std::lock_guard lock(mutex_);
    refuseOpening_ = refuse;
}

bool SimulatedLine::isOpen()
{
    std::lock_guard lock(mutex_);
    return device_ != nullptr;
}

int SimulatedLine::openedNumber()
{
    std::lock_guard lock(mutex_);
    return openedNumber_;
}

void SimulatedLine::raise(std::uint32_t events)
{
    pendingEvents_ |= events;
    changed_.notify_all();
}

void SimulatedLine::transmit()
{
    // Output held by hardware flow control while CTS is off.
    if (settings_.ctsFlow && !modem_.cts)
        return;
    if (output_.empty())
        return;
    for (const std::uint8_t byte : output_)
        sent_.push_back({byte, settings_.parity, clock_.now()});
    output_.clear();
    raise(lineEvent::txEmpty);
}

void SimulatedLine::receive(const std::vector<std::uint8_t>& bytes)
{
    std::lock_guard lock(mutex_);
    input_.insert(input_.end(), bytes.begin(), bytes.end());
    raise(lineEvent::rxChar);
}

void SimulatedLine::setCts(bool on)
{
    std::lock_guard lock(mutex_);
    modem_.cts = on;
    raise(lineEvent::cts);
    transmit();
}

void SimulatedLine::setDsr(bool on)
{
    std::lock_guard lock(mutex_);
    modem_.dsr = on;
    raise(lineEvent::dsr);
}

void SimulatedLine::setCarrier(bool on)
{
    std::lock_guard lock(mutex_);
    modem_.rlsd = on;
    raise(lineEvent::rlsd);
}

void SimulatedLine::ring()
{
    std::lock_guard lock(mutex_);
    modem_.ring = true;
    raise(lineEvent::ring);
}

void SimulatedLine::sendBreak()
{
    std::lock_guard lock(mutex_);
    errors_ |= lineError::brk;
    raise(lineEvent::brk);
}

void SimulatedLine::lineError(std::uint32_t flags)
{
    std::lock_guard lock(mutex_);
    errors_ |= flags;
    raise(lineEvent::error);
}

void SimulatedLine::failNextRead()
{
    std::lock_guard lock(mutex_);
    failRead_ = true;
}

void SimulatedLine::failNextWrite()
{
    std::lock_guard lock(mutex_);
    failWrite_ = true;
}

void SimulatedLine::vanish()
{
    std::lock_guard lock(mutex_);
    lost_ = true;
    changed_.notify_all();
}

std::vector<SentByte> SimulatedLine::sent()
{
    std::lock_guard lock(mutex_);
    return sent_;
}

std::vector<std::uint8_t> SimulatedLine::sentValues()
{
    std::lock_guard lock(mutex_);
    std::vector<std::uint8_t> values;
    for (const SentByte& byte : sent_)
        values.push_back(byte.value);
    return values;
}

LineSettings SimulatedLine::settings()
{
    std::lock_guard lock(mutex_);
    return settings_;
}

bool SimulatedLine::dtr()
{
    std::lock_guard lock(mutex_);
    return dtr_;
}

bool SimulatedLine::rts()
{
    std::lock_guard lock(mutex_);
    return rts_;
}

std::size_t SimulatedLine::inQueue()
{
    std::lock_guard lock(mutex_);
    return input_.size();
}

bool SimulatedLine::eventWaiting()
{
    std::lock_guard lock(mutex_);
    const bool ending = lost_ || (pendingEvents_ & mask_) != 0 || (selections_ != waiterSelection_ && mask_ == 0);
    return eventWaiters_ > 0 && !ending;
}

void SimulatedLine::setOnWait(std::function<void()> handler)
{
    std::lock_guard lock(mutex_);
    onWait_ = std::move(handler);
}

} // namespace kirvan::testing
