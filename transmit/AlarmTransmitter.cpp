#include "transmit/AlarmTransmitter.h"

#include "files/FileWriteError.h"

#include <algorithm>

namespace kirvan {

namespace {

constexpr int SaveIntervalMs = 1000;

QString answerText(const dc09::Answer& answer)
{
    static const char* const names[] = {"ACK", "NAK", "DUH"};
    return QStringLiteral("%1 %2").arg(QLatin1String(names[int(answer.kind)])).arg(answer.sequence, 4, 10, QLatin1Char('0'));
}

} // namespace

AlarmTransmitter::AlarmTransmitter(ReceiverLink& link, Setup setup, Events events)
    : link_(link), setup_(std::move(setup)), events_(std::move(events)), tail_(setup_.logPath), reports_(setup_.order)
{
    if (!setup_.settings.key.isEmpty())
        key_.emplace(setup_.settings.key);
    if (const std::optional<TransmitCursor> saved = TransmitCursor::load(setup_.cursorPath)) {
        cursor_ = *saved;
    } else {
        // A folder without a cursor transmits what is logged from now on.
        cursor_.position = setup_.firstLine.value_or(tail_.end());
        saveCursor();
    }
    reports_.setOpen(cursor_.open);
    lastSentMs_ = setup_.nowMs();
}

void AlarmTransmitter::saveCursor()
{
    try {
        cursor_.save(setup_.cursorPath);
    } catch (const FileWriteError&) {
        // The place is kept in memory; a crash before the next save sends some reports twice,
        // which the receiver takes as repeats of their own sequence numbers.
    }
    dirtySinceMs_.reset();
}

QByteArray AlarmTransmitter::dataOf(const AlarmReport& report) const
{
    const QByteArray& account = setup_.settings.address.account;
    return setup_.settings.format == ReceiverSettings::Format::ContactId ? report.contactIdData(account)
                                                                         : report.siaData(account);
}

bool AlarmTransmitter::takeLine()
{
    const std::vector<LogTail::Line> lines = tail_.read(cursor_.position, 1);
    if (lines.empty())
        return false;
    std::vector<AlarmReport> reports = reports_.follow(lines.front().bytes, setup_.detectors());
    const std::size_t done = std::min<std::size_t>(std::size_t(cursor_.reportsDone), reports.size());
    pending_.assign(reports.begin() + qsizetype(done), reports.end());
    lineEnd_ = lines.front().next;
    openAfterLine_ = reports_.open();
    if (pending_.empty()) {
        // A line without reports leaves the open conditions as they were: reading it again
        // after a crash changes nothing, so its place need not be saved at once.
        cursor_.position = *lineEnd_;
        cursor_.reportsDone = 0;
        if (!dirtySinceMs_)
            dirtySinceMs_ = setup_.nowMs();
    }
    return true;
}

AlarmTransmitter::Outcome AlarmTransmitter::deliver(const QByteArray& id, QByteArrayView data)
{
    const ReceiverSettings& settings = setup_.settings;
    std::vector<std::size_t> order(AttemptsPerPath, path_);
    if (settings.paths.size() > 1)
        order.insert(order.end(), AttemptsPerPath, 1 - path_);
    QString failure;
    for (std::size_t attempt = 0; attempt < order.size(); ++attempt) {
        const std::size_t path = order[attempt];
        const QDateTime stamp = setup_.utc().addMSecs(clockOffsetMs_);
        const QByteArray message = dc09::message(id, cursor_.sequence, settings.address, data, stamp,
                                                 key_ ? &*key_ : nullptr);
        const ReceiverLink::Reply reply = link_.exchange(path, message, settings.waitSeconds * 1000);
        const std::optional<dc09::Answer> answer = reply.answer
                                                       ? dc09::readAnswer(*reply.answer, key_ ? &*key_ : nullptr)
                                                       : std::nullopt;
        if (!reply.answer) {
            failure = reply.failure;
        } else if (!answer) {
            failure = QStringLiteral("ответ не распознан");
        } else if (answer->kind == dc09::Answer::Kind::Nak) {
            // The receiver's clock is the one that counts: the next attempt carries its time.
            if (answer->receiverTime)
                clockOffsetMs_ = setup_.utc().msecsTo(*answer->receiverTime);
            failure = QStringLiteral("приемник отверг время сообщения");
        } else if (answer->sequence != cursor_.sequence) {
            failure = QStringLiteral("ответ на другое сообщение");
        } else {
            path_ = path;
            return Outcome{answer, {}};
        }
        // A path that did not answer the message and its repetition is lost, whether or not
        // the backup path answers: the fault must come within the time the rules allow.
        if (attempt + 1 == AttemptsPerPath || attempt + 1 == order.size())
            reportLost(failure + QStringLiteral(", ") + settings.pathText(path));
    }
    return Outcome{std::nullopt, failure};
}

void AlarmTransmitter::reportLost(const QString& reason)
{
    if (lost_)
        return;
    lost_ = true;
    if (events_.lost)
        events_.lost(reason);
}

void AlarmTransmitter::acknowledged(const dc09::Answer& answer)
{
    cursor_.sequence = TransmitCursor::nextSequence(cursor_.sequence);
    cursor_.lastAnswer = setup_.utc().toString(Qt::ISODate) + QLatin1Char(' ') + answerText(answer);
    lastSentMs_ = setup_.nowMs();
    if (lost_) {
        lost_ = false;
        if (events_.restored)
            events_.restored();
    }
}

int AlarmTransmitter::work()
{
    const std::int64_t now = setup_.nowMs();
    if (retryAtMs_ > now)
        return int(retryAtMs_ - now);
    if (pending_.empty() && takeLine() && pending_.empty())
        return 0;
    Outcome outcome;
    if (pending_.empty()) {
        if (dirtySinceMs_ && now - *dirtySinceMs_ >= SaveIntervalMs)
            saveCursor();
        const std::int64_t interval = lost_ ? RetryMs : std::int64_t(setup_.settings.testSeconds) * 1000;
        if (now - lastSentMs_ < interval)
            return int(std::min<std::int64_t>(LookMs, interval - (now - lastSentMs_)));
        outcome = deliver("NULL", {});
    } else {
        outcome = deliver(setup_.settings.messageId(), dataOf(pending_.front()));
    }
    if (!outcome.answer) {
        retryAtMs_ = setup_.nowMs() + RetryMs;
        return RetryMs;
    }
    if (outcome.answer->kind == dc09::Answer::Kind::Duh && !pending_.empty() && events_.refused)
        events_.refused(QString::fromLatin1(dataOf(pending_.front())));
    if (!pending_.empty()) {
        pending_.pop_front();
        ++cursor_.reportsDone;
        if (pending_.empty()) {
            cursor_.position = *lineEnd_;
            cursor_.reportsDone = 0;
            cursor_.open = openAfterLine_;
        }
    }
    acknowledged(*outcome.answer);
    saveCursor();
    return 0;
}

AlarmTransmitter::TestResult AlarmTransmitter::sendTest()
{
    const AlarmReport test{false, 602, siaCodeOf(602, false), 0, 0};
    const Outcome outcome = deliver(setup_.settings.messageId(), dataOf(test));
    if (outcome.answer) {
        acknowledged(*outcome.answer);
        saveCursor();
    }
    return TestResult{outcome.answer, outcome.failure};
}

} // namespace kirvan
