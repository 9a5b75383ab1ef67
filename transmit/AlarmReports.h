#pragma once

#include "journal/JournalLine.h"
#include "transmit/DetectorDirectory.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace kirvan {

// One event for the alarm receiving centre, in the words of Contact ID and of the SIA codes.
struct AlarmReport {
    bool restore = false;
    int contactId = 0; // 110 fire, 373 fault …
    QByteArray siaCode; // "FA", "FH" …
    int group = 0; // the system's address + 1; 0: the workstation itself
    int zone = 0; // the detector's running number in its system; 0: the system as a whole

    bool operator==(const AlarmReport&) const = default;
    // "#1234|1110 02 005" (ADM-CID) or "#1234|Nri02/FA005" (SIA-DCS).
    QByteArray contactIdData(const QByteArray& account) const;
    QByteArray siaData(const QByteArray& account) const;
};

// Turns the journal's lines into reports. A restore is sent only for what was reported and is
// still open, so it keeps those open conditions; a system's control check or its normal state
// restores them all, a detector switched on ends its switching off and its fault.
class AlarmReports {
public:
    explicit AlarmReports(JournalDateOrder order) : order_(order) {}

    std::vector<AlarmReport> follow(QByteArrayView line, const DetectorDirectory& detectors);

    // The open conditions as "group:zone:code" words, for the cursor file.
    QStringList open() const;
    void setOpen(const QStringList& words);

private:
    struct Key {
        int group;
        int zone;
        int contactId;
        bool operator==(const Key&) const = default;
    };
    friend size_t qHash(const Key& key, size_t seed) { return qHashMulti(seed, key.group, key.zone, key.contactId); }

    void raise(int contactId, int group, int zone, std::vector<AlarmReport>& reports);
    void end(const Key& key, std::vector<AlarmReport>& reports);
    void endSystem(int group, std::vector<AlarmReport>& reports);

    JournalDateOrder order_;
    QSet<Key> open_;
};

// The SIA code of a Contact ID event: its new and its restore form.
QByteArray siaCodeOf(int contactId, bool restore);

} // namespace kirvan
