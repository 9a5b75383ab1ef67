#include "events/AlarmState.h"

#include <algorithm>

#include "events/AlarmSounds.h"
#include "events/MarkerName.h"
#include "platform/MessageLoop.h"
#include "platform/Timer.h"

namespace kirvan {

namespace {

// Which of two alarms the status field shows: fire above technology above fault.
int rank(int level)
{
    switch (level) {
    case Annunciation::Fire:
        return 3;
    case Annunciation::Technology:
        return 2;
    case Annunciation::Fault:
        return 1;
    default:
        return 0;
    }
}

} // namespace

AlarmState::AlarmState(MessageLoop& loop, AlarmSounds& sounds, MarkerPainter& markers, SystemReset resetSystem)
    : sounds_(sounds), markers_(markers), resetSystem_(std::move(resetSystem)), blinkTimer(loop.createTimer())
{
    blinkTimer->setInterval(blinkIntervalMs);
    blinkTimer->setOnTimer([this] { blink(); });
}

AlarmState::~AlarmState() = default;

QString AlarmState::wordOf(int level)
{
    switch (level) {
    case Fault:
        return QStringLiteral(" ОТКАЗ");
    case Fire:
        return QStringLiteral(" ПОЖАР");
    case Technology:
        return QStringLiteral("Технология");
    default:
        return QStringLiteral(" НОРМА");
    }
}

Rgb AlarmState::colourOf(int level)
{
    switch (level) {
    case Fault:
        return {255, 255, 0};
    case Fire:
        return {255, 0, 0};
    case Technology:
        return {166, 202, 240};
    default:
        return {0, 128, 0};
    }
}

Rgb AlarmState::colour() const
{
    if (level_ == Normal && standing_ == Normal && !configured_)
        return {128, 128, 128};
    return colourOf(level_ == Normal ? standing_ : level_);
}

Rgb AlarmState::letterColour() const
{
    const bool dark = level_ == Normal && standing_ == Normal;
    return dark ? Rgb{255, 255, 255} : Rgb{0, 0, 0};
}

QString AlarmState::restingWord() const
{
    if (standing_ == Normal && !configured_)
        return notConfiguredWord();
    return wordOf(standing_);
}

void AlarmState::setStanding(int level, bool configured)
{
    if (level == standing_ && configured == configured_)
        return;
    standing_ = level;
    configured_ = configured;
    if (level_ == Normal)
        setText(restingWord());
    changed();
}

bool AlarmState::blinking() const
{
    return blinkTimer->enabled();
}

// The word is not shown at once: the next tick clears the field and the one after shows the
// word with its sound, so an alarm raised while another blinks keeps the rhythm.
void AlarmState::raise(int level)
{
    setLevel(level);
    blinkTimer->setEnabled(true);
}

// Enabling a running timer does not restart its period.
void AlarmState::blink()
{
    if (!text_.isEmpty()) {
        setText({});
    } else if (level_ != Normal) {
        setText(wordOf(level_));
        // Every phase that shows the word starts its sound anew.
        if (level_ == Fault)
            sounds_.playOnce(AlarmSounds::faultName.toString());
        else
            sounds_.playLooped(AlarmSounds::alarmName.toString());
    }
    markers_.blinkMarkers();
}

void AlarmState::silence()
{
    blinkTimer->setEnabled(false);
    markers_.stopMarkerBlinking();
    sounds_.stopAll();
    if (level_ != Normal)
        setText(wordOf(level_));
}

std::set<QString> AlarmState::systemsInAlarm() const
{
    std::set<QString> systems;
    for (const Announced& alarm : announced_)
        systems.insert(alarm.record.left(2));
    return systems;
}

void AlarmState::announce(int level, const QString& record)
{
    const QString marker = markername::ofRecord(record);
    const Announced alarm{++lastAnnouncement_, level, marker, record};
    announced_.insert(marker + QString::number(level), alarm);
    pictured_.insert(marker, alarm);
}

void AlarmState::resetAlarm()
{
    announced_.clear();
    blinkTimer->setEnabled(false);
    // A detector the tree still shows in alarm keeps its marker, steady, until its system's
    // control check: the plan must not say less than the tree.
    markers_.removeMarkersExcept(keptMarkers());
    setLevel(Normal);
    setText(restingWord());
    fireCounter_ = 0;
    silence();
    if (onReset_)
        onReset_();
}

void AlarmState::controlCheck(const QString& address, std::uint64_t since)
{
    announced_.removeIf([since](const auto& entry) { return entry.value().number <= since; });
    // The system's pictures that came after the check began stay, also those an alarm reset
    // has left without an announcement.
    std::set<QString> spared;
    const QString systemMarker = QStringLiteral("SH") + address;
    for (auto picture = pictured_.begin(); picture != pictured_.end();) {
        if (picture.value().number > since) {
            spared.insert(picture.key());
            ++picture;
        } else if (picture.key().startsWith(systemMarker)) {
            picture = pictured_.erase(picture);
        } else {
            ++picture;
        }
    }
    if (announced_.isEmpty())
        resetAlarm();
    else
        keepAnnounced();
    if (resetSystem_)
        resetSystem_(address, spared);
}

// The blinking and the sound stay as they were: an alarm that came after the check began is as
// new as it was.
void AlarmState::keepAnnounced()
{
    int level = Normal;
    int fires = 0;
    for (const Announced& alarm : std::as_const(announced_)) {
        if (rank(alarm.level) > rank(level))
            level = alarm.level;
        if (alarm.level == Fire || alarm.level == Technology)
            ++fires;
    }
    markers_.removeMarkersExcept(keptMarkers());
    setLevel(level);
    fireCounter_ = fires;
    if (!text_.isEmpty() || !blinking())
        setText(wordOf(level_));
}

std::vector<std::pair<QString, int>> AlarmState::picturedAlarms() const
{
    std::vector<const Announced*> ordered;
    for (const Announced& alarm : pictured_)
        ordered.push_back(&alarm);
    std::sort(ordered.begin(), ordered.end(),
              [](const Announced* a, const Announced* b) { return a->number < b->number; });
    std::vector<std::pair<QString, int>> alarms;
    for (const Announced* alarm : ordered)
        alarms.emplace_back(alarm->record, alarm->level);
    return alarms;
}

std::set<QString> AlarmState::keptMarkers() const
{
    std::set<QString> markers;
    for (const Announced& alarm : std::as_const(announced_))
        markers.insert(alarm.marker);
    for (const Announced& alarm : std::as_const(pictured_))
        markers.insert(alarm.marker);
    return markers;
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
