#pragma once

#include "link/ByteSource.h"
#include "link/Frame.h"
#include "link/LinkState.h"

#include <QString>
#include <array>
#include <cstdint>
#include <functional>

namespace kirvan {

class StatusBar;

// The receive half of the panel link: on each notification of the port it gathers up to 255
// waiting bytes, finds the checksum-valid frames among them and handles each: an answer to a
// poll marks the system as answering, an event frame becomes a record for processEvent.
// A panel sends byte by byte, so a notification often comes in the middle of a frame: the bytes
// of a frame that has not arrived whole are kept for the next notification.
class FrameReceiver {
public:
    using RecordHandler = std::function<void(const QString& record)>;
    // Called for a record that cannot be handed on or whose interpretation failed, with the
    // reason in Russian or as the failure gives it.
    using RejectHandler = std::function<void(const QString& record, const QString& reason)>;

    FrameReceiver(ByteSource& port, LinkStateTable& linkState, StatusBar& statusBar, RecordHandler processEvent);

    void setOnRejected(RejectHandler handler) { onRejected_ = std::move(handler); }
    // Called for every frame a station sends, answer or event, with its address.
    void setOnHeard(std::function<void(std::uint8_t address)> handler) { onHeard_ = std::move(handler); }

    // The port's bytes-arrived handler: `count` bytes are held in its receive buffer.
    void bytesArrived(std::uint16_t count);

private:
    void handleFrame(const Frame& frame);
    void markAnswered(std::uint8_t address);

    ByteSource& port_;
    LinkStateTable& linkState_;
    StatusBar& statusBar_;
    RecordHandler processEvent_;
    RejectHandler onRejected_;
    std::function<void(std::uint8_t)> onHeard_;
    // The accumulation buffer; between notifications it holds only the unfinished tail.
    std::array<std::uint8_t, 256> buffer_{};
    int fillCount_ = 0;
    Frame frameBuffer_{};
};

} // namespace kirvan
