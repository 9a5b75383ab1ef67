#include "link/FrameReceiver.h"

#include "link/FrameDecoder.h"
#include "link/FrameScanner.h"
#include "platform/StatusBar.h"

#include <exception>

namespace kirvan {

namespace {
constexpr int maximumGathered = 255;
constexpr Rgb linkGreen{0, 128, 0};
} // namespace

FrameReceiver::FrameReceiver(ByteSource& port, LinkStateTable& linkState, StatusBar& statusBar,
                             RecordHandler processEvent)
    : port_(port), linkState_(linkState), statusBar_(statusBar), processEvent_(std::move(processEvent))
{
}

void FrameReceiver::CommPort1TriggerAvail(std::uint16_t count)
{
    // Fewer than a frame: the bytes stay in the port and come again with the next ones.
    if (count < 7)
        return;
    while (port_.InCount() > 0 && fillCount_ < maximumGathered)
        buffer_[static_cast<size_t>(fillCount_++)] = port_.ReadByte();
    const int gathered = fillCount_;
    // Bytes after the last frame, a frame that has arrived only in part among them, are dropped.
    fillCount_ = 0;
    scanFrames(buffer_.data(), static_cast<size_t>(gathered), [this](const Frame& frame) { handleFrame(frame); });
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
        statusBar_.setShape2(linkGreen);
        statusBar_.setPanel15(QStringLiteral("  СОСТОЯНИЕ: НОРМА"));
        return;
    }
    const QString record = DecodeFrame(frameBuffer_);
    if (!isNominalRecord(record)) {
        // A field too wide for its place shifts the event code off characters 11-12, where it
        // would read as another code; such a frame names nothing a complex has.
        if (onRejected_)
            onRejected_(record, QStringLiteral("a field is wider than its place in the record"));
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
