#pragma once

#include <cstdint>
#include <optional>

namespace kirvan {

// How a record reached processEvent, beyond its twelve characters.
struct RecordContext {
    // "Имитировать отказ", "Имитировать пожар/тревогу": the journal says so, and nothing of the
    // complex is started for it.
    bool simulated = false;
    // A control check that a command began before this record ("Общий контроль" checks the
    // systems one after another): it resets only the alarms announced up to this number. Empty
    // for a check that begins with its record.
    std::optional<std::uint64_t> checkSince;
};

} // namespace kirvan
