#include "link/PollingCycle.h"

#include "link/CommandQueue.h"
#include "link/Commands.h"
#include "link/Transmitter.h"
#include "platform/MessageLoop.h"
#include "platform/StatusBar.h"
#include "platform/Timer.h"

namespace kirvan {

PollingCycle::PollingCycle(MessageLoop& loop, CommandQueue& queue, Transmitter& transmitter, StatusBar& statusBar,
                           LinkSupervision::RecordHandler processEvent, std::function<void()> portSearch,
                           std::function<bool()> portOpen, std::function<void()> lookForPort)
    : loop_(loop),
      queue_(queue),
      transmitter_(transmitter),
      statusBar_(statusBar),
      portSearch_(std::move(portSearch)),
      portOpen_(std::move(portOpen)),
      lookForPort_(std::move(lookForPort)),
      timer4_(loop.createTimer()),
      // A report that fails (a log that cannot be written, say) must not stop the polling.
      supervision_(linkState_, [this, processEvent = std::move(processEvent)](const QString& record) {
          loop_.runHandler([&] { processEvent(record); });
      })
{
    timer4_->setInterval(tickMs);
    timer4_->setOnTimer([this] { pollTick(); });
}

PollingCycle::~PollingCycle() = default;

void PollingCycle::start()
{
    timer4_->setEnabled(true);
}

void PollingCycle::stop()
{
    timer4_->setEnabled(false);
}

bool PollingCycle::running() const
{
    return timer4_->enabled();
}

void PollingCycle::pollTick()
{
    if (pollTicks_ != startupTicks) {
        ++pollTicks_;
        return;
    }
    // A tick that falls into the send of the one before is skipped, so polls never overlap.
    // pollTimer itself keeps running: stopping it for the send would restart its period afterwards
    // and stretch every tick by the 200 ms of the frame.
    if (ticking_)
        return;
    ticking_ = true;
    struct Done {
        bool& ticking;
        ~Done() { ticking = false; }
    } done{ticking_};

    // An adapter back after it was pulled out is used again within a tick, not after the
    // minute of the full search: a fire it brings is not kept waiting.
    loop_.runHandler(lookForPort_);
    if (portOpen_()) {
        supervision_.portOpen();
    } else {
        supervision_.portClosed(loop_.now());
        if (supervision_.takeClosedPortSearch(loop_.now()))
            loop_.runHandler(portSearch_);
    }
    supervision_.review(loop_.now());
    if (const auto command = queue_.takeNext()) {
        transmitter_.sendFrame(command->address, command->code, command->parameterA, command->parameterB);
        return;
    }
    sendLinkCheck();
}

void PollingCycle::sendLinkCheck()
{
    const int address = nextCheckedAddress();
    auto& state = linkState_[static_cast<std::size_t>(address)];
    if (supervision_.takePortSearch(loop_.now()))
        state = LinkSupervision::searchPort;
    statusBar_.setCommandPanel(QStringLiteral("          КОМАНДА: ПРОВЕРКА СВЯЗИ"));
    statusBar_.setStatePanel(QStringLiteral("  СОСТОЯНИЕ: ЗАПРОС"));
    const bool portOpen = portOpen_();
    transmitter_.sendFrame(static_cast<std::uint8_t>(address), command::linkCheck, 0, 0);
    if (portOpen)
        supervision_.checkSent(address, loop_.now());
    // A silent line: close and reopen the chosen port, which brings back an adapter that was
    // unplugged and plugged in again.
    if (state == LinkSupervision::searchPort) {
        state = LinkSupervision::lost;
        loop_.runHandler(portSearch_);
    }
}

int PollingCycle::nextCheckedAddress()
{
    // The configured addresses in turn, so that systems at 0 and 2 are both supervised.
    for (int step = 0; step < 4; ++step) {
        const int address = (pollCursor_ + step) % 4;
        if (linkState_[static_cast<std::size_t>(address)] != LinkSupervision::notConfigured) {
            pollCursor_ = (address + 1) % 4;
            return address;
        }
    }
    // Nothing configured: the check goes to the cursor, which returns to 0.
    const int address = pollCursor_;
    pollCursor_ = 0;
    return address;
}

} // namespace kirvan
