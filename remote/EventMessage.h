#pragma once

#include "journal/JournalLine.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <cstdint>
#include <functional>

namespace kirvan {

// What a journal line reports, in the words the messages of the event topic use.
// A simulated alarm ("Имитировать пожар/тревогу") is a Simulation, never a Fire; Operator is the
// operators' own action lines only, not a panel's report such as a detector switched off.
enum class RemoteKind : std::uint8_t {
    Fire,
    Fault,
    Technology,
    Link,
    Restoration,
    Operator,
    StartStop,
    Other,
    Simulation
};
QString remoteKindName(RemoteKind kind); // "fire", "fault", "technology", "link", "restoration", …, "simulation"

// One journal line as the JSON message of the event topic:
//   {"seq":…,"time":"2023-12-08T09:15:02+03:00","address":"01","system":"СКЛАД",
//    "detector":"И12-05","code":"07","kind":"fire","text":"01/И12-05/07 08.12.2023 9:15:02 ПОЖАР: …"}
// The text is the line as the journal holds it; address, detector and code are empty for the
// workstation's own lines. The time is the line's own, read in the regional date order, with the
// offset of the local time zone at that moment; a line without a readable date takes the time `fallback` gives (asked only then).
class EventMessage {
public:
    EventMessage(std::uint64_t sequence, QByteArrayView line, const JournalDateOrder& order,
                 const std::function<QDateTime()>& fallback);

    std::uint64_t sequence() const { return sequence_; }
    const QString& text() const { return text_; }
    const QString& address() const { return fields_.address; }
    int code() const { return code_; }
    RemoteKind kind() const { return kind_; }
    const QDateTime& time() const { return time_; }

    // The name the composition gives the line's system; an alarm line of that system marked as a
    // simulation ("ПОЖАР: СКЛАД ИМИТАЦИЯ …") becomes a Simulation.
    void setSystemName(QString name);
    // The numbers left out before this message on purpose (the log was replaced or truncated):
    // "skipped" in the message, so that a station tells the jump from a loss.
    void setSkipped(std::uint64_t skipped) { skipped_ = skipped; }
    QByteArray json() const;

private:
    std::uint64_t sequence_;
    QString text_;
    JournalFields fields_;
    int code_ = -1;
    RemoteKind kind_ = RemoteKind::Other;
    QDateTime time_;
    QString systemName_;
    std::uint64_t skipped_ = 0;
};

} // namespace kirvan
