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
class ModuleEditorDialog final : public QDialog {
public:
    // Its buttons run as entry points of `loop` (guardedSlot).
    // Each start, save and removal leaves an audit line through `access`.
    ModuleEditorDialog(ControlModuleEditor& editor, AccessControl& access, MessageLoop& loop, QWidget* owner);

private:
    // The three action buttons need a scenario.
    void followScenario();

    ControlModuleEditor& editor_;
    QComboBox* scenarioBox;
    QComboBox* modeBox;
    QLineEdit* commentEdit;
    QPushButton* startButton;
    QPushButton* saveButton;
    QPushButton* deleteButton;
    QPushButton* closeButton;
};

} // namespace kirvan
