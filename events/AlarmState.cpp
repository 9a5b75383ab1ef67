#include "events/AlarmState.h"

namespace kirvan {

AlarmState::AlarmState(std::function<void()> resetSelectedSystem)
    : resetSelectedSystem_(std::move(resetSelectedSystem))
{
}

QString AlarmState::wordOf(int level)
{
    switch (level) {
    case Fault: return QStringLiteral(" ОТКАЗ");
    case Fire: return QStringLiteral(" ПОЖАР");
    case Technology: return QStringLiteral("Технология");
    default: return QStringLiteral(" НОРМА");
    }
}

Rgb AlarmState::colour() const
{
    switch (level_) {
    case Fault: return {255, 255, 0};
    case Fire: return {255, 0, 0};
    case Technology: return {166, 202, 240};
    default: return {0, 128, 0};
    }
}

void AlarmState::show(int level)
{
    level_ = level;
    word_ = wordOf(level);
    if (onChanged_)
        onChanged_();
}

void AlarmState::SoundOffExecute()
{
    // The alarm stays shown, steadily.
    if (level_ != Normal)
        show(level_);
}

void AlarmState::AlarmOffExecute()
{
    fireCounter_ = 0;
    show(Normal);
}

void AlarmState::ResetSystemState()
{
    if (resetSelectedSystem_)
        resetSelectedSystem_();
}

} // namespace kirvan
