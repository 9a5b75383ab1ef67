#pragma once

#include "platform/Rgb.h"

#include <QString>
#include <functional>
#include <optional>

namespace kirvan {

// The texts and the link lamp of the main window's status bar. Several subsystems write it, so
// it lives at the base of the program; the window shows it.
class StatusBar {
public:
    // Command panel: the command that runs ("          КОМАНДА: ...").
    const QString& Panel13() const { return panel13_; }
    void setPanel13(const QString& text) { set(panel13_, text); }
    // Link lamp; nothing means the system's button-face colour it has at start.
    const std::optional<Rgb>& Shape2() const { return shape2_; }
    void setShape2(std::optional<Rgb> colour)
    {
        if (colour != shape2_) {
            shape2_ = colour;
            changed();
        }
    }
    // State panel ("  СОСТОЯНИЕ: ...").
    const QString& Panel15() const { return panel15_; }
    void setPanel15(const QString& text) { set(panel15_, text); }
    // Centred while plan edit mode is on, left-justified otherwise.
    bool Panel15Centred() const { return panel15Centred_; }
    void setPanel15Centred(bool centred) { setFlag(panel15Centred_, centred); }
    // Message panel.
    const QString& Panel17() const { return panel17_; }
    void setPanel17(const QString& text) { set(panel17_, text); }
    // Red, bold and underlined (the warning of plan edit mode); the window-text colour otherwise.
    bool Panel17Alert() const { return panel17Alert_; }
    void setPanel17Alert(bool alert) { setFlag(panel17Alert_, alert); }
    // A lasting notice in red beside the message panel, which other texts do not replace: the
    // alarms cannot be heard ("ЗВУК НЕ ВОСПРОИЗВОДИТСЯ: …"). Empty when all is well.
    const QString& SoundTrouble() const { return soundTrouble_; }
    void setSoundTrouble(const QString& text) { set(soundTrouble_, text); }
    // The link to the broker of remote monitoring ("MQTT: подключено"); empty when not configured.
    const QString& Remote() const { return remote_; }
    void setRemote(const QString& text) { set(remote_, text); }

    void setOnChanged(std::function<void()> handler) { onChanged_ = std::move(handler); }

private:
    void set(QString& field, const QString& text)
    {
        if (field != text) {
            field = text;
            changed();
        }
    }
    void setFlag(bool& flag, bool value)
    {
        if (flag != value) {
            flag = value;
            changed();
        }
    }
    void changed()
    {
        if (onChanged_)
            onChanged_();
    }

    QString panel13_;
    std::optional<Rgb> shape2_;
    QString panel15_;
    bool panel15Centred_ = false;
    QString panel17_;
    bool panel17Alert_ = false;
    QString soundTrouble_;
    QString remote_;
    std::function<void()> onChanged_;
};

} // namespace kirvan
