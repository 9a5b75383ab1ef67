#pragma once

#include "journal/JournalLine.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace kirvan {

// Which lines of the text log the viewer shows. The conditions combine: a line is shown when it
// lies in the period, belongs to the system, is of one of the kinds, holds the text and, when an
// operator is chosen, is one of his actions.
struct JournalFilter {
    QDateTime from; // invalid: no lower bound
    QDateTime to; // invalid: no upper bound
    int address = -1; // the system address; -1: every system
    JournalKinds kinds = AllJournalKinds;
    QString text; // a detector or any text, letter case ignored
    QString operatorName; // only the actions of this operator; empty: no such bound

    // Everything but the text, checked on what the index keeps of a line.
    struct Conditions {
        std::int64_t from = 0;
        std::int64_t to = 0;
        int address = -1;
        JournalKinds kinds = AllJournalKinds;
        bool admitsAll() const { return kinds == AllJournalKinds && address < 0 && from == 0 && to == 0; }
        bool admits(const JournalLineInfo& line) const
        {
            return (kinds & kindBit(line.kind)) != 0 && (address < 0 || line.address == address)
                   && (from == 0 || line.moment >= from) && (to == 0 || line.moment <= to);
        }
    };
    Conditions conditions() const;
    bool hasText() const { return !text.isEmpty(); }
    bool hasOperator() const { return !operatorName.isEmpty(); }
    // Whether the line (Windows-1251, without CR LF) is an action of the chosen operator.
    bool admitsOperator(QByteArrayView line) const;
    // The filter in Russian words, for the heads of exports and printouts.
    QString description() const;
};

// Finds a text in Windows-1251 lines without regard to letter case (Latin and Cyrillic, Ё too).
class JournalTextMatcher {
public:
    explicit JournalTextMatcher(const QString& text);
    bool matches(QByteArrayView line) const;

private:
    QByteArray needle_; // folded to lower case
};

} // namespace kirvan
