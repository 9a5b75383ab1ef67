#pragma once

#include "events/EventServices.h"
#include "platform/Rgb.h"

#include <QHash>
#include <QString>
#include <functional>
#include <memory>
#include <set>
#include <vector>

namespace kirvan {

class AlarmSounds;
class MessageLoop;
class Timer;

// The alarm annunciation: the status field statusWord with the highest alarm since the last reset in
// its colour and word, blinking and sounding while the alarm is new (blinkTimer), with the plan
// markers blinking in step; sound off, alarm reset and the fire counter; the alarms announced
// since the last reset, so that a control check resets only what it found.
class AlarmState final : public Annunciation {
public:
    static constexpr int blinkIntervalMs = 500;
    // Resets the system `address`, sparing the detectors whose markers are named.
    using SystemReset = std::function<void(const QString& address, const std::set<QString>& spared)>;

    AlarmState(MessageLoop& loop, AlarmSounds& sounds, MarkerPainter& markers, SystemReset resetSystem);
    ~AlarmState() override;

    int alarmLevel() const override { return level_; }
    int fireCounter() const override { return fireCounter_; }
    void incrementFireCounter() override { ++fireCounter_; }
    void raiseFireAlarm() override { raise(Fire); }
    void raiseTechnologyAlarm() override { raise(Technology); }
    void raiseFaultAlarm() override { raise(Fault); }
    void announce(int level, const QString& record) override;
    std::uint64_t lastAnnouncement() const override { return lastAnnouncement_; }
    void silence() override;
    void resetAlarm() override;
    void controlCheck(const QString& address, std::uint64_t since) override;
    // The record and level of the alarm each detector's tree picture shows, oldest first: a
    // tree read anew shows them again.
    std::vector<std::pair<QString, int>> picturedAlarms() const;

    // One blink step of blinkTimer.
    void blink();
    // Whether blinkTimer runs: the alarm blinks and sounds.
    bool blinking() const;
    // The addresses ("01") of the systems with an alarm announced since the last reset.
    std::set<QString> systemsInAlarm() const;

    // What the word shows while no alarm is announced: the highest condition still active (a
    // system without link stays " ОТКАЗ" after a reset) and whether any system is configured.
    void setStanding(int level, bool configured);

    // statusWord: its text (the word of the level, or empty in the dark phase of a blink), its
    // colour and the colour of its letters.
    const QString& text() const { return text_; }
    Rgb colour() const;
    Rgb letterColour() const;
    void setOnChanged(std::function<void()> handler) { onChanged_ = std::move(handler); }
    // After every alarm reset, the operator's and a control check's that left nothing announced.
    void setOnReset(std::function<void()> handler) { onReset_ = std::move(handler); }

    // " НОРМА", " ОТКАЗ", " ПОЖАР" or "Технология".
    static QString wordOf(int level);
    // The word of a workstation without any system: nothing is watched.
    static QString notConfiguredWord() { return QStringLiteral("НЕ НАСТРОЕН"); }
    // Dark green, yellow, red or sky blue.
    static Rgb colourOf(int level);

private:
    struct Announced {
        std::uint64_t number;
        int level;
        QString marker;
        QString record;
    };

    // After a control check: the highest alarm still announced is shown, the markers of the
    // others go.
    void keepAnnounced();
    // The markers of the alarms announced and of those the tree still pictures.
    std::set<QString> keptMarkers() const;
    QString restingWord() const;
    void raise(int level);
    void setLevel(int level);
    void setText(const QString& text);
    void changed();

    AlarmSounds& sounds_;
    MarkerPainter& markers_;
    SystemReset resetSystem_;
    std::unique_ptr<Timer> blinkTimer;
    int level_ = Normal;
    int fireCounter_ = 0;
    // One entry per detector and level, the newest announcement of it; bounded by the complex.
    QHash<QString, Announced> announced_;
    // The newest alarm each detector's tree picture shows, by marker name; an alarm reset leaves
    // the pictures, so it leaves these too, and a control check of the system takes them.
    QHash<QString, Announced> pictured_;
    std::uint64_t lastAnnouncement_ = 0;
    int standing_ = Normal;
    bool configured_ = true;
    QString text_ = wordOf(Normal);
    std::function<void()> onChanged_;
    std::function<void()> onReset_;
};

} // namespace kirvan
