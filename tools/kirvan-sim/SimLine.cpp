#include "tools/kirvan-sim/SimLine.h"

#include "tools/kirvan-sim/SimComplex.h"

#include <algorithm>

namespace kirvan::sim {
namespace {

constexpr std::chrono::milliseconds readPoll{100};

} // namespace

SimLine::SimLine(SimComplex& complex, const QString& folder, int comNumber, LogHandler log)
    : complex_(complex), log_(std::move(log)), engine_(complex)
{
    if (!terminal_.valid() || !terminal_.holdSlaveRaw())
        throw ComplexError(QStringLiteral("no pseudo-terminal available"));
    claim_ = std::make_unique<PortClaim>(folder, comNumber, terminal_);
    reader_ = std::thread([this] { readLoop(); });
    writer_ = std::thread([this] { writeLoop(); });
}

SimLine::~SimLine()
{
    {
        std::lock_guard lock(queueMutex_);
        stopping_ = true;
    }
    queued_.notify_all();
    reader_.join();
    writer_.join();
    claim_.reset();
    terminal_.close();
}

std::optional<QString> SimLine::execute(QStringView line)
{
    Reply reply;
    {
        std::lock_guard lock(engineMutex_);
        auto parsed = parseCommand(line, complex_);
        if (const auto* error = std::get_if<QString>(&parsed))
            return *error;
        reply = engine_.execute(std::get<SimCommand>(parsed));
    }
    apply(reply);
    return std::nullopt;
}

void SimLine::execute(const SimCommand& command)
{
    Reply reply;
    {
        std::lock_guard lock(engineMutex_);
        reply = engine_.execute(command);
    }
    apply(reply);
}

void SimLine::setOnWritten(WrittenHandler handler)
{
    std::lock_guard lock(queueMutex_);
    onWritten_ = std::move(handler);
}

void SimLine::apply(const Reply& reply)
{
    for (const QString& line : reply.log)
        log_(line);
    if (reply.writes.empty())
        return;
    {
        std::lock_guard lock(queueMutex_);
        queue_.insert(queue_.end(), reply.writes.begin(), reply.writes.end());
    }
    queued_.notify_all();
}

void SimLine::readLoop()
{
    while (!stopping_) {
        const auto bytes = terminal_.readAvailable(readPoll);
        if (bytes.empty())
            continue;
        Reply reply;
        {
            std::lock_guard lock(engineMutex_);
            reply = engine_.received(bytes);
        }
        apply(reply);
    }
}

void SimLine::writeLoop()
{
    using Clock = std::chrono::steady_clock;
    std::unique_lock lock(queueMutex_);
    // When the line's last byte ends; the next byte follows it without a gap.
    Clock::time_point lineFree = Clock::now();
    while (true) {
        queued_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_)
            return;
        const auto item = std::move(queue_.front());
        queue_.pop_front();
        const WrittenHandler written = onWritten_;
        lock.unlock();
        lineFree = std::max(lineFree, Clock::now());
        bool sent = true;
        for (const std::uint8_t byte : item) {
            // A byte reaches the far end once its stop bit has gone.
            lineFree += byteTime;
            std::this_thread::sleep_until(lineFree);
            if (stopping_ || !terminal_.write({byte})) {
                sent = false;
                break;
            }
        }
        if (sent && written)
            written(item, Clock::now());
        lock.lock();
    }
}

} // namespace kirvan::sim
