#include "events/AlarmState.h"

#include "events/AlarmSounds.h"
#include "platform/MessageLoop.h"
#include "platform/Timer.h"

namespace kirvan {

namespace {

const QString faultSound = QStringLiteral("fault.wav");
const QString alarmSound = QStringLiteral("alarm.wav");

} // namespace

AlarmState::AlarmState(MessageLoop& loop, AlarmSounds& sounds, MarkerPainter& markers, SystemReset resetSystem)
    : sounds_(sounds), markers_(markers), resetSystem_(std::move(resetSystem)), Timer2(loop.createTimer())
{
    Timer2->setInterval(blinkIntervalMs);
    Timer2->setOnTimer([this] { Timer2Timer(); });
}

AlarmState::~AlarmState() = default;

QString AlarmState::wordOf(int level)
{
    switch (level) {
    case Fault: return QStringLiteral(" ОТКАЗ");
    case Fire: return QStringLiteral(" ПОЖАР");
    case Technology: return QStringLiteral("Технология");
    default: return QStringLiteral(" НОРМА");
    }
}

Rgb AlarmState::colourOf(int level)
{
    switch (level) {
    case Fault: return {255, 255, 0};
    case Fire: return {255, 0, 0};
    case Technology: return {166, 202, 240};
    default: return {0, 128, 0};
    }
}

bool AlarmState::blinking() const
{
    return Timer2->enabled();
}

// The word is not shown at once: the next tick clears the field and the one after shows the
// word with its sound, so an alarm raised while another blinks keeps the rhythm.
void AlarmState::raise(int level)
{
    setLevel(level);
    Timer2->setEnabled(true);
}

// Enabling a running timer does not restart its period.
void AlarmState::Timer2Timer()
{
    if (!text_.isEmpty()) {
        setText({});
    } else if (level_ != Normal) {
        setText(wordOf(level_));
        // Every phase that shows the word starts its sound anew.
        if (level_ == Fault)
            sounds_.playOnce(faultSound);
        else
            sounds_.playLooped(alarmSound);
    }
    markers_.blinkMarkers();
}

void AlarmState::SoundOffExecute()
{
    Timer2->setEnabled(false);
    markers_.stopMarkerBlinking();
    sounds_.stopAll();
    if (level_ != Normal)
        setText(wordOf(level_));
}

void AlarmState::AlarmOffExecute()
{
    Timer2->setEnabled(false);
    markers_.removeAllMarkers();
    setLevel(Normal);
    setText(wordOf(Normal));
    fireCounter_ = 0;
    SoundOffExecute();
}

std::optional<int> AlarmState::ResetSystemState(const QString& addressWhenNoneSelected)
{
    return resetSystem_ ? resetSystem_(addressWhenNoneSelected) : std::nullopt;
}

void AlarmState::setLevel(int level)
{
    if (level != level_) {
        level_ = level;
        changed();
    }
}

void AlarmState::setText(const QString& text)
{
    if (text != text_) {
        text_ = text;
        changed();
    }
}

void AlarmState::changed()
{
    if (onChanged_)
        onChanged_();
}

} // namespace kirvan
