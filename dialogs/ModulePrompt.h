#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace kirvan {

class AccessControl;
class ControlModules;
class MessageLoop;

// The prompt of a manual control module: a small tool window, always on top and not modal, that
// shows the open prompt of the control modules and hands the operator's answer back to them.
// Closing it by its close button skips the scenario; the main window destroys it once the
// prompt is answered.
class ModulePrompt final : public QWidget {
public:
    // Its buttons run as entry points of `loop` (guardedSlot). Anyone may answer, and every
    // answer leaves an audit line.
    ModulePrompt(ControlModules& modules, AccessControl& access, MessageLoop& loop, QWidget* owner);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // The answer first, since nothing may delay the scenario; then its line.
    void answer(const QString& caption, void (ControlModules::*execute)());

    ControlModules& modules_;
    AccessControl& access_;
    MessageLoop& loop_;
    QLabel* placeLabel;
    QLabel* questionLabel;
    QPushButton* yesButton;
    QPushButton* skipButton;
};

} // namespace kirvan
