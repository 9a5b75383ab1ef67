#pragma once

#include "tools/kirvan-sim/EventFrames.h"

#include <QString>
#include <QStringView>
#include <variant>

namespace kirvan::sim {

class SimComplex;

// One line of the prompt or of a script, checked against the complex.
struct SimCommand {
    enum class Action { Event, Silent, Answer, Noise, BadChecksum };
    Action action = Action::Event;
    EventKind event = EventKind::Normal;
    int address = 0;
    Point point;
    int count = 0; // noise bytes
};

// The command, or the reason it cannot run ("unknown command ...", "unknown detector ...").
std::variant<SimCommand, QString> parseCommand(QStringView line, SimComplex& complex);

// One line per command, for the prompt's "help" and the usage text.
QString commandSummary();

} // namespace kirvan::sim
