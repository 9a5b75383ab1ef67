#include "plans/PlanMarker.h"

#include "events/EventServices.h"

namespace kirvan {

QString PlanMarker::tooltip() const
{
    // The colours the help page explains, in words for an operator who does not tell them apart.
    const std::pair<Rgb, const char16_t*> states[] = {
        {colours::red, u"ПОЖАР"},   {colours::blue, u"ТЕХНОЛОГИЧЕСКАЯ ТРЕВОГА"}, {colours::yellow, u"ОТКАЗ"},
        {colours::green, u"ВКЛЮЧЕН"}, {colours::white, u"ВЫКЛЮЧЕН"},
    };
    for (const auto& [shown, state] : states)
        if (shown == colour)
            return hint + u'\n' + QString::fromUtf16(state);
    return hint;
}

} // namespace kirvan
