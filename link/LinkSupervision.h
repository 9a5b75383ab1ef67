#pragma once

#include "link/LinkState.h"

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>

namespace kirvan {

// Watches that every configured system answers its link checks. A system that leaves two link
// checks in a row unanswered is reported lost once (record NN/И01-01/23, LinkState 0x30); when it
// is heard again, its return is reported once (record NN/И01-01/00). When no configured system
// has been heard for 20 s, a port search is due, at most once a minute, so that a line whose
// adapter was unplugged and plugged back in recovers without the operator. A port that stays
// closed (an adapter missing at start, or closed since) hears nothing either: once it has been
// closed for 20 s, every configured system not yet lost is reported lost, once for the outage;
// the 20 s let the start-up's port search find the port first.
class LinkSupervision {
public:
    static constexpr int missedChecksForLoss = 2;
    // An answer comes within a few frame times; a check unanswered after a whole polling tick is
    // missed.
    static constexpr std::int64_t answerTimeMs = 800;
    static constexpr std::int64_t silenceBeforePortSearchMs = 20'000;
    static constexpr std::int64_t portSearchIntervalMs = 60'000;

    static constexpr std::uint8_t lost = 0x30;
    static constexpr std::uint8_t searchPort = 0x20;
    static constexpr std::uint8_t notConfigured = 0xFF;

    using RecordHandler = std::function<void(const QString& record)>;

    LinkSupervision(LinkStateTable& linkState, RecordHandler report);

    // Starts afresh, as if every configured system had just been heard (after a configuration
    // load).
    void restart(std::int64_t now);
    // Any frame from a system.
    void heard(std::uint8_t address, std::int64_t now);
    void checkSent(int address, std::int64_t now);
    // Once per working tick: counts unanswered checks and reports losses and returns.
    void review(std::int64_t now);
    // Whether the port should be searched now; a yes counts as the search being made.
    bool takePortSearch(std::int64_t now);
    // Once per working tick, whether the port is closed: the checks sent meanwhile never reached
    // the line, so none of them is missed; the outage is counted from the first closed tick.
    void portClosed(std::int64_t now);
    void portOpen() { closedSince_.reset(); }
    // Whether the closed port should be searched now (once a minute); a yes counts as made.
    bool takeClosedPortSearch(std::int64_t now);

private:
    struct System {
        std::optional<std::int64_t> checkSentAt; // an unanswered check
        int missed = 0;
        bool lost = false;
        bool returned = false; // heard again after a loss, not yet reported
    };
    static QString record(int address, const char* code);
    bool configured(int address) const { return linkState_[static_cast<std::size_t>(address)] != notConfigured; }

    LinkStateTable& linkState_;
    RecordHandler report_;
    std::array<System, 4> systems_{};
    std::int64_t lastHeard_ = 0;
    std::optional<std::int64_t> lastPortSearch_;
    std::optional<std::int64_t> closedSince_;
};

} // namespace kirvan
