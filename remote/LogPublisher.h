#pragma once

#include "journal/JournalLine.h"
#include "remote/BrokerLink.h"
#include "remote/LogTail.h"
#include "remote/PublishCursor.h"
#include "remote/SystemStates.h"

#include <QDateTime>
#include <QString>
#include <deque>
#include <functional>
#include <optional>

namespace kirvan {

// Publishes the text log line by line, in order, on `<prefix>/event` with QoS 1, and the systems'
// states retained on `<prefix>/state/<address>` as SystemStates decides them, all of them again
// at every connection. The log is the queue: the cursor file keeps the
// first line the broker has not acknowledged, so after an outage of the broker (the link sends
// again what it was given) or a restart of the workstation (the log is read again from the
// cursor) every line arrives, in order, with the same sequence number as before.
//
// Runs on the publisher's thread: it reads the log and writes the cursor file itself.
class LogPublisher {
public:
    // Lines handed to the link beyond the cursor saved on disk; a cursor whose file is gone makes
    // the numbers jump this far, so that no number given out before is used again.
    static constexpr std::uint64_t MaxAhead = 1000;
    static constexpr std::int64_t SaveIntervalMs = 1000;
    // Lines in flight when the link was lost are sent again by the link after its reconnection;
    // newer lines wait for them, but no longer than this before everything is read again.
    static constexpr std::int64_t ResendPatienceMs = 10'000;

    struct Setup {
        QString logPath;
        QString cursorPath;
        QString prefix;
        JournalDateOrder order{0, 1, 2};
        // The system name of an address ("01"), any thread.
        std::function<QString(const QString& address)> systemName;
        // The addresses of the systems the workstation has.
        SystemStates::Systems systems;
        std::function<QDateTime()> now = [] { return QDateTime::currentDateTime(); };
        // Where a folder without a cursor begins: the end of the log when monitoring was set up,
        // so the lines written from then on are published (none when unset).
        std::optional<LogPosition> firstLine;
    };

    LogPublisher(BrokerLink& link, Setup setup);

    void linkState(BrokerLink::State state, std::int64_t nowMs);
    void acknowledged(int id);
    // Publishes what the log has and the window allows, and saves the cursor when due. The log
    // is read when it may have grown (`look`) or when lines were left in it for want of room.
    void pump(std::int64_t nowMs, bool look = true);
    // The workstation ends: "offline" is published; returns its message id (-1: not sent).
    int finish();
    // The active alarms as the workstation has them now (JSON), retained on `<prefix>/alarms`
    // once connected; only the newest goes out.
    void setAlarms(QByteArray json);
    // Saves the cursor now; false when the file system refused.
    bool saveCursor();

    const PublishCursor& acknowledgedCursor() const { return acked_; }
    bool connected() const { return connected_; }
    std::size_t inFlight() const { return inFlight_.size(); }

private:
    struct Sent {
        int id;
        std::uint64_t sequence;
        LogPosition next;
        bool acknowledged = false;
    };
    void publishLines();
    void publishStates(const std::vector<SystemStates::Change>& changes);

    BrokerLink& link_;
    Setup setup_;
    LogTail tail_;
    SystemStates states_;
    QByteArray alarms_;
    bool alarmsDue_ = false;
    PublishCursor acked_;
    PublishCursor saved_;
    PublishCursor read_;
    std::deque<Sent> inFlight_;
    std::uint64_t lostFiles_ = 0;
    std::uint64_t skipped_ = 0; // numbers left out since the last message, told in the next one
    bool connected_ = false;
    bool behind_ = true; // lines may wait in the log that no look will announce
    std::optional<std::int64_t> resendSince_;
    std::int64_t lastSave_ = 0;
    bool saveFailed_ = false;
};

} // namespace kirvan
