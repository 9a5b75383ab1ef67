#include "remote/LogPublisher.h"

#include "files/FileWriteError.h"
#include "remote/EventMessage.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cstdio>

namespace kirvan {

LogPublisher::LogPublisher(BrokerLink& link, Setup setup)
    : link_(link), setup_(std::move(setup)), tail_(setup_.logPath), states_(setup_.systems)
{
    if (const auto cursor = PublishCursor::load(setup_.cursorPath)) {
        acked_ = *cursor;
    } else {
        // A folder publishing for the first time begins with the lines written from now on.
        acked_.position = setup_.firstLine.value_or(tail_.end());
        acked_.sequence = PublishCursor::firstSequence(setup_.now().toMSecsSinceEpoch());
    }
    read_ = acked_;
    saved_ = acked_;
    saveCursor();
}

void LogPublisher::linkState(BrokerLink::State state, std::int64_t nowMs)
{
    const bool connected = state == BrokerLink::State::Connected;
    if (connected && !connected_) {
        behind_ = true;
        link_.publish(setup_.prefix + QStringLiteral("/status"), "online", true);
        // A broker restarted without persistence has lost the retained states, and one that kept
        // them may still hold a system removed meanwhile: every address is said again.
        publishStates(states_.all());
        if (!inFlight_.empty())
            resendSince_ = nowMs;
    }
    connected_ = connected;
}

void LogPublisher::acknowledged(int id)
{
    for (Sent& sent : inFlight_) {
        if (sent.id == id) {
            sent.acknowledged = true;
            break;
        }
    }
    while (!inFlight_.empty() && inFlight_.front().acknowledged) {
        acked_ = PublishCursor{inFlight_.front().next, inFlight_.front().sequence + 1};
        inFlight_.pop_front();
    }
}

void LogPublisher::pump(std::int64_t nowMs, bool look)
{
    if (resendSince_) {
        if (inFlight_.empty()) {
            resendSince_.reset();
        } else if (nowMs - *resendSince_ >= ResendPatienceMs) {
            // The link did not send them again: read them again (a subscriber drops repeats).
            inFlight_.clear();
            read_ = acked_;
            resendSince_.reset();
            behind_ = true;
        }
    }
    // Saved first, so the room it makes in the window is used at once; in a burst the file is
    // written once for every half window acknowledged.
    const bool due = nowMs - lastSave_ >= SaveIntervalMs || acked_.sequence - saved_.sequence >= MaxAhead / 2;
    if (acked_ != saved_ && due) {
        lastSave_ = nowMs;
        saveCursor();
    }
    if (connected_ && alarmsDue_)
        alarmsDue_ = link_.publish(setup_.prefix + QStringLiteral("/alarms"), alarms_, true) < 0;
    if (connected_ && !resendSince_ && (look || behind_))
        publishLines();
}

void LogPublisher::setAlarms(QByteArray json)
{
    QMap<QString, QString> active;
    const QJsonObject systems = QJsonDocument::fromJson(json).object().value(QStringLiteral("systems")).toObject();
    for (auto system = systems.begin(); system != systems.end(); ++system)
        active.insert(system.key(), system.value().toString());
    const std::vector<SystemStates::Change> changes = states_.follow(active);
    if (connected_)
        publishStates(changes);
    alarms_ = std::move(json);
    alarmsDue_ = true;
}

void LogPublisher::publishLines()
{
    const std::uint64_t used = read_.sequence - saved_.sequence;
    behind_ = used >= MaxAhead;
    if (behind_)
        return;
    const std::size_t room = std::size_t(MaxAhead - used);
    const auto lines = tail_.read(read_.position, room);
    behind_ = lines.size() == room;
    if (tail_.lostFiles() != lostFiles_) {
        lostFiles_ = tail_.lostFiles();
        read_.sequence += MaxAhead;
        skipped_ += MaxAhead;
    }
    for (const LogTail::Line& line : lines) {
        EventMessage message(read_.sequence, line.bytes, setup_.order, setup_.now);
        if (!message.address().isEmpty())
            message.setSystemName(setup_.systemName(message.address()));
        message.setSkipped(skipped_);
        const int id = link_.publish(setup_.prefix + QStringLiteral("/event"), message.json(), false);
        if (id < 0) {
            behind_ = true;
            return;
        }
        skipped_ = 0;
        inFlight_.push_back(Sent{id, read_.sequence, line.next});
        read_ = PublishCursor{line.next, read_.sequence + 1};
    }
    if (inFlight_.empty() && lines.empty())
        acked_ = read_; // a lost file moved the place without a line to acknowledge
}

void LogPublisher::publishStates(const std::vector<SystemStates::Change>& changes)
{
    // An empty retained message clears the topic.
    for (const auto& [address, state] : changes)
        link_.publish(setup_.prefix + QStringLiteral("/state/") + address, state.toUtf8(), true);
}

int LogPublisher::finish()
{
    return connected_ ? link_.publish(setup_.prefix + QStringLiteral("/status"), "offline", true) : -1;
}

bool LogPublisher::saveCursor()
{
    try {
        acked_.save(setup_.cursorPath);
        saved_ = acked_;
        saveFailed_ = false;
        return true;
    } catch (const FileWriteError& error) {
        // Lines go on being published; after a restart they would only be published again.
        if (!saveFailed_)
            std::fprintf(stderr, "KirvanMonitorP: %s\n", error.what());
        saveFailed_ = true;
        return false;
    }
}

} // namespace kirvan
