#pragma once

#include "events/ActiveConditions.h"

#include <QByteArray>
#include <QHash>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

namespace kirvan {

// The active conditions as the workstation folder keeps them across a crash or a power cut
// ("KirvanMonitorP.alarms", an INI file in Windows-1251 with CR LF): the word's level, then one
// section per condition with its acknowledgement.
struct StoredConditions {
    int level = 0;
    std::vector<ActiveConditions::Condition> conditions;

    QByteArray encode() const;
    // Throws std::runtime_error with the reason in Russian when the content is not such a state.
    static StoredConditions decode(QByteArrayView bytes);
};

// The state written again and again from the live conditions, without a copy of them: a
// condition's lines are kept while it is the same one, as most are between two writes of a flood
// (its texts shared with the kept copy, so they cannot have changed). Its output is that of
// StoredConditions::encode.
class StoredStateEncoder {
public:
    StoredStateEncoder();
    ~StoredStateEncoder();
    StoredStateEncoder(const StoredStateEncoder&) = delete;
    StoredStateEncoder& operator=(const StoredStateEncoder&) = delete;

    QByteArray encode(int level, const std::vector<ActiveConditions::Condition>& conditions);

private:
    class Moments;
    struct Kept {
        ActiveConditions::Condition condition;
        QByteArray lines;
        quint64 written = 0;
    };
    // A condition is known by its record's characters, which its kept copy holds, and its kind.
    using Key = std::pair<const QChar*, int>;

    QByteArray lines(const ActiveConditions::Condition& c);

    QHash<Key, Kept> kept_;
    quint64 writes_ = 0;
    std::unique_ptr<Moments> moments_;
};

} // namespace kirvan
