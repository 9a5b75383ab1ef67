#pragma once

#include "events/ActiveConditions.h"

#include <QByteArray>
#include <stdexcept>
#include <vector>

namespace kirvan {

// The active conditions as the workstation folder keeps them across a crash or a power cut
// ("KirvanMonitorP.alarms", an INI file in Windows-1251 with CR LF): the word's level, then one
// section per condition with its acknowledgement.
struct StoredConditions {
    int level = 0;
    std::vector<ActiveConditions::Condition> conditions;

    QByteArray encode() const { return encode(level, conditions); }
    // The live conditions written without a copy of them.
    static QByteArray encode(int level, const std::vector<ActiveConditions::Condition>& conditions);
    // Throws std::runtime_error with the reason in Russian when the content is not such a state.
    static StoredConditions decode(QByteArrayView bytes);
};

} // namespace kirvan
