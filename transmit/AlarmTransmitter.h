#pragma once

#include "journal/JournalLine.h"
#include "remote/LogTail.h"
#include "transmit/AlarmReports.h"
#include "transmit/Aes.h"
#include "transmit/Dc09Message.h"
#include "transmit/ReceiverLink.h"
#include "transmit/ReceiverSettings.h"
#include "transmit/TransmitCursor.h"

#include <QDateTime>
#include <deque>
#include <functional>
#include <optional>

namespace kirvan {

// Transmits the text log's alarms to the receiving centre, one message at a time, in journal
// order, each until it is acknowledged: the log is the queue and the cursor file the place in
// it, so an outage of the receiver, a crash or a restart loses nothing. Without an answer a
// message is sent once more on the same path, and the link is reported lost; then it goes
// twice on the backup path, and after that everything is tried again every RetryMs while the
// alarms wait in the log. Runs on the transmitter's thread: it reads the log and writes the cursor file itself.
class AlarmTransmitter {
public:
    static constexpr int RetryMs = 10'000;
    static constexpr int LookMs = 1000;
    static constexpr int AttemptsPerPath = 2;

    struct Setup {
        QString logPath;
        QString cursorPath;
        ReceiverSettings settings;
        JournalDateOrder order{0, 1, 2};
        std::function<std::int64_t()> nowMs; // monotonic
        std::function<QDateTime()> utc = [] { return QDateTime::currentDateTimeUtc(); };
        std::function<DetectorDirectory()> detectors = [] { return DetectorDirectory{}; };
        // Where a folder without a cursor begins: the end of the log when transmission was set
        // up, so that the lines written from then on go out (the end when it starts, if unset).
        std::optional<LogPosition> firstLine;
    };
    // What the workstation is told; called on the transmitter's thread.
    struct Events {
        std::function<void(const QString& reason)> lost;
        std::function<void()> restored;
        std::function<void(const QString& message)> refused; // a "DUH"
    };

    AlarmTransmitter(ReceiverLink& link, Setup setup, Events events);

    // Does the next piece of work (one message at most) and returns how long there is nothing to
    // do: the caller waits that long, or until the log grows.
    int work();

    // One message outside the log (`kirvan-tool pcn test`): the answer, or why there was none.
    struct TestResult {
        std::optional<dc09::Answer> answer;
        QString failure;
    };
    TestResult sendTest();

    const TransmitCursor& cursor() const { return cursor_; }
    bool linkLost() const { return lost_; }

private:
    struct Outcome {
        std::optional<dc09::Answer> answer;
        QString failure;
    };
    // Sends until an answer of this sequence number comes, on the current path first.
    Outcome deliver(const QByteArray& id, QByteArrayView data);
    void reportLost(const QString& reason);
    QByteArray dataOf(const AlarmReport& report) const;
    bool takeLine();
    void acknowledged(const dc09::Answer& answer);
    void saveCursor();

    ReceiverLink& link_;
    Setup setup_;
    Events events_;
    std::optional<Aes> key_;
    LogTail tail_;
    AlarmReports reports_;
    TransmitCursor cursor_;
    std::deque<AlarmReport> pending_; // the reports of the cursor's line not yet acknowledged
    std::optional<LogPosition> lineEnd_;
    QStringList openAfterLine_;
    std::size_t path_ = 0;
    std::int64_t clockOffsetMs_ = 0; // the receivers' clock minus ours, from their NAKs
    std::int64_t lastSentMs_ = 0;
    std::int64_t retryAtMs_ = 0;
    std::optional<std::int64_t> dirtySinceMs_; // lines passed over since the cursor was saved
    bool lost_ = false;
};

} // namespace kirvan
