#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>
#include <optional>

namespace kirvan {

// What one interpreted record says about the complex now: the active conditions follow it.
struct Interpretation {
    QString record;
    int code = 0;
    QString systemName;
    QString zone;
    // The message of the record's table row, else the detector's text.
    QString text;
    QDateTime moment;
    bool simulated = false;
    // The alarm level the record announced (Annunciation's levels), if it announced one.
    std::optional<int> announced;
    // The announcement this record is counted at: its own, or for a control check the newest one
    // before the check began.
    std::uint64_t announcement = 0;
};

} // namespace kirvan
