#include "events/Reactions.h"

#include <array>
#include <cstddef>

namespace kirvan {

ReactionFunction reactionFor(int code)
{
    static const auto table = [] {
        std::array<ReactionFunction, 100> reactions{};
        const auto set = [&reactions](int from, int to, ReactionFunction react) {
            for (int c = from; c <= to; ++c)
                reactions[static_cast<std::size_t>(c)] = react;
        };
        reactions[0] = reactNormal;
        reactions[1] = reactControlCheck;
        reactions[2] = reactSoundOff;
        reactions[3] = reactSwitchedOn;
        reactions[5] = reactSwitchedOff;
        reactions[7] = reactFire;
        reactions[8] = reactDetectorFault;
        for (const int equipment : {9, 10, 26, 32, 33})
            set(equipment, equipment, reactEquipmentFault);
        reactions[23] = reactNoLinkWithComplex;
        reactions[24] = reactContact;
        reactions[25] = reactContact;
        reactions[30] = reactArmed;
        reactions[31] = reactDisarmed;
        set(34, 37, reactZoneMode);
        set(38, 40, reactRelease);
        set(41, 47, reactCircuitFault);
        reactions[48] = reactDirection;
        reactions[49] = reactDirection;
        reactions[50] = reactRemoteUnitPoint;
        reactions[51] = reactTechnology;
        return reactions;
    }();
    return code >= 0 && code < static_cast<int>(table.size()) ? table[static_cast<std::size_t>(code)] : nullptr;
}

} // namespace kirvan
