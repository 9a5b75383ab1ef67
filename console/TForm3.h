#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

namespace kirvan {

class MessageLoop;

class ControlModules;

// The prompt of a manual control module: a small tool window, always on top and not modal, that
// shows the open prompt of the control modules and hands the operator's answer back to them.
// Closing it by its close button skips the scenario; the main window destroys it once the
// prompt is answered.
class TForm3 final : public QWidget {
public:
    // Its buttons run as entry points of `loop` (guardedSlot).
    TForm3(ControlModules& modules, MessageLoop& loop, QWidget* owner);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    ControlModules& modules_;
    MessageLoop& loop_;
    QLabel* Label1;
    QLabel* Label2;
    QPushButton* Button1;
    QPushButton* Button2;
};

} // namespace kirvan
