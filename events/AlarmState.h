#pragma once

#include "events/EventServices.h"
#include "platform/Rgb.h"

#include <QString>
#include <functional>

namespace kirvan {

// The shown alarm: the level with its word and colour in the status field Edit1, and the fire
// counter. The field always shows the highest alarm since the last reset, so an operator who
// looks at the window knows the state of the complex. (Blinking and sound build on this state.)
class AlarmState final : public Annunciation {
public:
    // Resets the tree pictures of the system of the selected node.
    explicit AlarmState(std::function<void()> resetSelectedSystem = {});

    int AlarmLevel() const override { return level_; }
    int FireCounter() const override { return fireCounter_; }
    void incrementFireCounter() override { ++fireCounter_; }
    void RaiseFireAlarm() override { show(Fire); }
    void RaiseTechnologyAlarm() override { show(Technology); }
    void RaiseFaultAlarm() override { show(Fault); }
    void SoundOffExecute() override;
    void AlarmOffExecute() override;
    void ResetSystemState() override;

    // Edit1: " НОРМА", " ОТКАЗ", " ПОЖАР" or "Технология", and its colour.
    const QString& word() const { return word_; }
    Rgb colour() const;
    void setOnChanged(std::function<void()> handler) { onChanged_ = std::move(handler); }

    static QString wordOf(int level);

private:
    void show(int level);

    std::function<void()> resetSelectedSystem_;
    int level_ = Normal;
    int fireCounter_ = 0;
    QString word_ = wordOf(Normal);
    std::function<void()> onChanged_;
};

} // namespace kirvan
