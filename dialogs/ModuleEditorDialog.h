#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kirvan {

class AccessControl;
class MessageLoop;

class ControlModuleEditor;

// The control-module editor of a zone, shown modally: it shows the editor's fields and hands
// every change and button to it.
class TForm4 final : public QDialog {
public:
    // Its buttons run as entry points of `loop` (guardedSlot).
    // Each start, save and removal leaves an audit line through `access`.
    TForm4(ControlModuleEditor& editor, AccessControl& access, MessageLoop& loop, QWidget* owner);

private:
    // The three action buttons need a scenario.
    void ComboBox1Change();

    ControlModuleEditor& editor_;
    QComboBox* ComboBox1;
    QComboBox* ComboBox2;
    QLineEdit* Edit1;
    QPushButton* Button1;
    QPushButton* Button2;
    QPushButton* Button3;
    QPushButton* Button4;
};

} // namespace kirvan
