#pragma once

#include "events/Interpretation.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace kirvan {

// What is wrong in the complex now, as against what has happened (the journal): each fire,
// technology alarm and fault until the line or the operator's reset ends it, each system without
// link until it answers, each detector switched off until switched on, and the workstation's own
// troubles. The alarm list, the summary, the status word at rest, the stored state and the
// broker's view all read this one model.
class ActiveConditions {
public:
    // In the order the list shows them.
    enum class Kind { Fire, Technology, Fault, NoLink, SwitchedOff, NoReceiver, NoSound, NotConfigured };

    struct Condition {
        Kind kind = Kind::Fault;
        // The 12-character record that began it; empty for the workstation's own troubles.
        QString record;
        QString system;
        QString zone;
        QString text;
        QDateTime since;
        bool simulated = false;
        std::uint64_t announcement = 0;
        QString acknowledgedBy;
        QDateTime acknowledgedAt;

        QString address() const { return record.left(2); }
        QString detector() const { return record.mid(3, 6); }
        bool acknowledged() const { return acknowledgedAt.isValid(); }
    };

    struct Counts {
        int fireZones = 0;
        int fireDetectors = 0;
        int technology = 0;
        int faults = 0;
        int noLink = 0;
        int switchedOff = 0;
    };

    void interpreted(const Interpretation& record);
    // The operator's reset ends the alarms it resets on the workstation's picture; what is still
    // true (a system without link, a detector switched off) stays.
    void alarmReset();
    // The workstation's own troubles: the receiving centre not answering, no sound device, no
    // system configured.
    void setWorkstationTrouble(Kind kind, bool present, const QString& text, const QDateTime& now);
    // Conditions read back from the stored state at start-up, in place of any.
    void restore(std::vector<Condition> conditions);

    // Acknowledges the row, once; the acknowledged condition, or nothing when it needs none.
    std::optional<Condition> acknowledge(int row, const QString& who, const QDateTime& when);
    // Every row waiting for acknowledgement, oldest first.
    std::vector<Condition> acknowledgeAll(const QString& who, const QDateTime& when);

    // Fires first, then technology, faults, systems without link, detectors switched off, the
    // workstation's troubles; the newest first within a kind.
    const std::vector<Condition>& rows() const { return rows_; }
    Counts counts() const;
    // The fire that began the alarm and the newest one; null without fire.
    const Condition* firstFire() const;
    const Condition* newestFire() const;
    // The highest level (Annunciation's) of the conditions, Normal when none lifts the word.
    int level() const;
    // The level of one system's conditions, for its remote state.
    int levelOf(const QString& address) const;
    bool configured() const;
    bool anyUnacknowledged() const;
    // A simulated alarm is active: the word says so.
    bool simulation() const;

    static bool needsAcknowledgement(Kind kind);
    // The alarm level (Annunciation's) a kind lifts the word to; Normal for those it does not.
    static int alarmLevelOf(Kind kind);
    // The list's word of a kind: "ПОЖАР", "ОТКАЗ", "НЕТ СВЯЗИ", …
    static QString wordOf(Kind kind);

    void setOnChanged(std::function<void()> handler) { onChanged_ = std::move(handler); }
    // Counts the changes of what the stored state keeps of the conditions: a condition raised
    // again just as it is listed is no such change.
    std::uint64_t revision() const { return revision_; }

private:
    void raise(Condition condition);
    template <typename Predicate> void endWhere(Predicate ends);
    void ordered();
    Counts counted() const;
    static QString keyOf(const Condition& condition);
    std::vector<Condition>::iterator listed(Kind kind, const QDateTime& since, const QString& key);

    std::vector<Condition> rows_;
    mutable std::optional<Counts> counts_;
    std::uint64_t revision_ = 0;
    // When each listed condition began, by its kind and source (keyOf).
    QHash<QString, QDateTime> began_;
    std::function<void()> onChanged_;
};

} // namespace kirvan
