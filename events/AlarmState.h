#pragma once

#include "events/EventServices.h"
#include "platform/Rgb.h"

#include <QString>
#include <functional>
#include <memory>

namespace kirvan {

class AlarmSounds;
class MessageLoop;
class Timer;

// The alarm annunciation: the status field Edit1 with the highest alarm since the last reset in
// its colour and word, blinking and sounding while the alarm is new (Timer2), with the plan
// markers blinking in step; sound off, alarm reset and the fire counter.
class AlarmState final : public Annunciation {
public:
    static constexpr int blinkIntervalMs = 500;
    using SystemReset = std::function<std::optional<int>(const QString& addressWhenNoneSelected)>;

    AlarmState(MessageLoop& loop, AlarmSounds& sounds, MarkerPainter& markers, SystemReset resetSystem);
    ~AlarmState() override;

    int AlarmLevel() const override { return level_; }
    int FireCounter() const override { return fireCounter_; }
    void incrementFireCounter() override { ++fireCounter_; }
    void RaiseFireAlarm() override { raise(Fire); }
    void RaiseTechnologyAlarm() override { raise(Technology); }
    void RaiseFaultAlarm() override { raise(Fault); }
    void SoundOffExecute() override;
    void AlarmOffExecute() override;
    std::optional<int> ResetSystemState(const QString& addressWhenNoneSelected) override;

    // One blink step of Timer2.
    void Timer2Timer();
    // Whether Timer2 runs: the alarm blinks and sounds.
    bool blinking() const;

    // Edit1: its text (the word of the level, or empty in the dark phase of a blink) and colour.
    const QString& text() const { return text_; }
    Rgb colour() const { return colourOf(level_); }
    void setOnChanged(std::function<void()> handler) { onChanged_ = std::move(handler); }

    // " НОРМА", " ОТКАЗ", " ПОЖАР" or "Технология".
    static QString wordOf(int level);
    // Dark green, yellow, red or sky blue.
    static Rgb colourOf(int level);

private:
    void raise(int level);
    void setLevel(int level);
    void setText(const QString& text);
    void changed();

    AlarmSounds& sounds_;
    MarkerPainter& markers_;
    SystemReset resetSystem_;
    std::unique_ptr<Timer> Timer2;
    int level_ = Normal;
    int fireCounter_ = 0;
    QString text_ = wordOf(Normal);
    std::function<void()> onChanged_;
};

} // namespace kirvan
