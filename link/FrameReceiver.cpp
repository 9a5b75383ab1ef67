#include "link/FrameReceiver.h"

#include "link/FrameDecoder.h"
#include "link/FrameScanner.h"
#include "platform/StatusBar.h"

#include <algorithm>
#include <exception>
#include <vector>

namespace kirvan {

namespace {
constexpr int maximumGathered = 255;
constexpr Rgb linkGreen{0, 128, 0};
} // namespace

FrameReceiver::FrameReceiver(ByteSource& port, LinkStateTable& linkState, StatusBar& statusBar, RecordHandler processEvent)
    : port_(port), linkState_(linkState), statusBar_(statusBar), processEvent_(std::move(processEvent))
{}

void FrameReceiver::bytesArrived(std::uint16_t count)
{
    // Fewer than a frame: the bytes stay in the port and come again with the next ones.
    if (count + fillCount_ < 7)
        return;
    while (port_.inCount() > 0 && fillCount_ < maximumGathered)
        buffer_[static_cast<size_t>(fillCount_++)] = port_.readByte();
    std::vector<Frame> frames;
    const auto gathered = static_cast<std::size_t>(fillCount_);
    std::size_t tail = scanFrames(buffer_.data(), gathered, [&frames](const Frame& frame) { frames.push_back(frame); });
    // The last bytes may be the beginning of a frame still on its way; those that cannot begin
    // one are noise.
    while (tail < gathered && !isFrameStart(buffer_[tail]))
        ++tail;
    std::copy(buffer_.begin() + static_cast<std::ptrdiff_t>(tail),
              buffer_.begin() + static_cast<std::ptrdiff_t>(gathered), buffer_.begin());
    fillCount_ = static_cast<int>(gathered - tail);
    // The buffer is settled before any frame is handled, so a handler that waits (and lets
    // another notification in) finds it consistent.
    for (const Frame& frame : frames)
        handleFrame(frame);
}

void FrameReceiver::handleFrame(const Frame& frame)
{
    frameBuffer_ = frame;
    const FrameKind kind = frameKind(frame);
    if (kind == FrameKind::Ignored)
        return;
    const std::uint8_t address = frame[1];
    if (kind == FrameKind::Answer) {
        markAnswered(address);
        statusBar_.setLinkLamp(linkGreen);
        statusBar_.setStatePanel(QStringLiteral("  СОСТОЯНИЕ: НОРМА"));
        return;
    }
    const QString record = decodeFrame(frameBuffer_);
    if (!isNominalRecord(record)) {
        // A field too wide for its place shifts the event code off characters 11-12, where it
        // would read as another code; such a frame names nothing a complex has.
        if (onRejected_)
            onRejected_(record, QStringLiteral("поле шире своего места в записи, код события не на месте"));
    } else {
        try {
            processEvent_(record);
        } catch (const std::exception& error) {
            // One record that cannot be interpreted must not stop the reception of the others.
            if (onRejected_)
                onRejected_(record, QString::fromStdString(error.what()));
        }
    }
    markAnswered(address);
}

void FrameReceiver::markAnswered(std::uint8_t address)
{
    if (address < linkState_.size())
        linkState_[address] = 0;
    if (onHeard_)
        onHeard_(address);
}

} // namespace kirvan
