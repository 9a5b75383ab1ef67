#pragma once

#include "platform/CompanionProgram.h"

namespace kirvan::testing {

// A companion program that only counts how often it was asked to show itself.
class RecordingCompanionProgram final : public CompanionProgram {
public:
    bool show() override
    {
        ++shown;
        return starts;
    }

    bool starts = true; // false: the program cannot be started
    int shown = 0;
};

} // namespace kirvan::testing
