#pragma once

#include "access/AccessControl.h"

#include <QWidget>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kirvan {

class MessageLoop;

// "Вход оператора…": a name from the list and the password. A tool window, not modal, so that
// the alarm keys and the main window stay at hand while the password is typed or verified; the
// verification runs on a worker and its answer comes back to the window, which closes on success
// and says why otherwise.
class SignInWindow final : public QWidget {
public:
    SignInWindow(AccessControl& access, MessageLoop& loop, QWidget* owner);

private:
    void submit();
    void answered(const AccessControl::SignInResult& result);

    AccessControl& access_;
    QComboBox* name_;
    QLineEdit* password_;
    QLabel* message_;
    QPushButton* ok_;
};

} // namespace kirvan
