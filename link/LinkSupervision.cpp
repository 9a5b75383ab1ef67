#include "link/LinkSupervision.h"

namespace kirvan {

LinkSupervision::LinkSupervision(LinkStateTable& linkState, RecordHandler report)
    : linkState_(linkState), report_(std::move(report))
{}

QString LinkSupervision::record(int address, const char* code)
{
    return QStringLiteral("%1/И01-01/%2").arg(address, 2, 10, QLatin1Char('0')).arg(QLatin1String(code));
}

void LinkSupervision::restart(std::int64_t now)
{
    systems_ = {};
    lastHeard_ = now;
    lastPortSearch_.reset();
}

void LinkSupervision::heard(std::uint8_t address, std::int64_t now)
{
    lastHeard_ = now;
    if (address >= systems_.size())
        return;
    System& system = systems_[address];
    system.checkSentAt.reset();
    system.missed = 0;
    if (system.lost) {
        system.lost = false;
        system.returned = true;
    }
}

void LinkSupervision::checkSent(int address, std::int64_t now)
{
    if (address < 0 || address >= static_cast<int>(systems_.size()))
        return;
    System& system = systems_[static_cast<std::size_t>(address)];
    if (system.checkSentAt)
        ++system.missed;
    system.checkSentAt = now;
}

void LinkSupervision::review(std::int64_t now)
{
    const bool closedTooLong = closedSince_ && now - *closedSince_ >= silenceBeforePortSearchMs;
    for (int address = 0; address < static_cast<int>(systems_.size()); ++address) {
        System& system = systems_[static_cast<std::size_t>(address)];
        if (!configured(address)) {
            system = {};
            continue;
        }
        if (system.checkSentAt && now - *system.checkSentAt >= answerTimeMs) {
            ++system.missed;
            system.checkSentAt.reset();
        }
        if (system.returned) {
            system.returned = false;
            report_(record(address, "00"));
        }
        if (!system.lost && (system.missed >= missedChecksForLoss || closedTooLong)) {
            system.lost = true;
            linkState_[static_cast<std::size_t>(address)] = lost;
            report_(record(address, "23"));
        }
    }
}

bool LinkSupervision::takePortSearch(std::int64_t now)
{
    bool anyConfigured = false;
    for (int address = 0; address < static_cast<int>(systems_.size()); ++address) {
        if (!configured(address))
            continue;
        anyConfigured = true;
        if (!systems_[static_cast<std::size_t>(address)].lost)
            return false;
    }
    if (!anyConfigured || now - lastHeard_ < silenceBeforePortSearchMs)
        return false;
    if (lastPortSearch_ && now - *lastPortSearch_ < portSearchIntervalMs)
        return false;
    lastPortSearch_ = now;
    return true;
}

void LinkSupervision::portClosed(std::int64_t now)
{
    for (System& system : systems_) {
        system.checkSentAt.reset();
        system.missed = 0;
    }
    lastHeard_ = now;
    if (!closedSince_)
        closedSince_ = now;
}

bool LinkSupervision::takeClosedPortSearch(std::int64_t now)
{
    // One search a minute at most, whichever way it fell due.
    if (lastPortSearch_ && now - *lastPortSearch_ < portSearchIntervalMs)
        return false;
    lastPortSearch_ = now;
    return true;
}

} // namespace kirvan
