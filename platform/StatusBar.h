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
    const QString& commandPanel() const { return panel13_; }
    void setCommandPanel(const QString& text) { set(panel13_, text); }
    // Link lamp; nothing means the system's button-face colour it has at start.
    const std::optional<Rgb>& linkLamp() const { return shape2_; }
    void setLinkLamp(std::optional<Rgb> colour)
    {
        if (colour != shape2_) {
            shape2_ = colour;
            changed();
        }
    }
    // State panel ("  СОСТОЯНИЕ: ...").
    const QString& statePanel() const { return panel15_; }
    void setStatePanel(const QString& text) { set(panel15_, text); }
    // Centred while plan edit mode is on, left-justified otherwise.
    bool statePanelCentred() const { return panel15Centred_; }
    void setStatePanelCentred(bool centred) { setFlag(panel15Centred_, centred); }
    // Message panel.
    const QString& messagePanel() const { return panel17_; }
    void setMessagePanel(const QString& text) { set(panel17_, text); }
    // Red, bold and underlined (the warning of plan edit mode); the window-text colour otherwise.
    bool messagePanelAlert() const { return panel17Alert_; }
    void setMessagePanelAlert(bool alert) { setFlag(panel17Alert_, alert); }
    // A lasting notice in red beside the message panel, which other texts do not replace: the
    // alarms cannot be heard ("ЗВУК НЕ ВОСПРОИЗВОДИТСЯ: …"). Empty when all is well.
    const QString& soundTrouble() const { return soundTrouble_; }
    void setSoundTrouble(const QString& text) { set(soundTrouble_, text); }
    // The link to the broker of remote monitoring ("MQTT: подключено"); empty when not configured.
    const QString& remote() const { return remote_; }
    void setRemote(const QString& text) { set(remote_, text); }
    // The link to the alarm receiving centre ("ПЦН: связь есть"); empty when not configured.
    const QString& receiver() const { return receiver_; }
    void setReceiver(const QString& text) { set(receiver_, text); }

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
    QString receiver_;
    std::function<void()> onChanged_;
};

} // namespace kirvan
