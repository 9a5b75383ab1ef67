#pragma once

#include "app/SettingsForm.h"

#include <QDialog>
#include <cstdint>
#include <functional>
#include <vector>

class QLabel;
class QScrollArea;
class QTabWidget;

namespace kirvan {

class AccessControl;
class MessageLoop;

// "Параметры": the engineer's settings, one field per key of the settings form, what is wrong
// with a value next to it. "Сохранить" saves nothing while anything is wrong; after a save it
// says which changes need a restart. Each change saved is one audit line through `access`.
class SettingsDialog final : public QDialog {
public:
    // Its buttons run as entry points of `loop`. `saved` runs after a save, so that what is
    // taken at once is taken.
    SettingsDialog(SettingsFile& settings, AccessControl& access, MessageLoop& loop, std::function<void()> saved,
                   QWidget* owner);

private:
    QWidget* buildGroup(const QString& group, MessageLoop& loop);
    // Each change of the problems shown changes the fields' room.
    void showProblems();
    void fitToScreen();
    void save();

    SettingsForm form_;
    AccessControl& access_;
    std::function<void()> saved_;
    // The session the engineer opened it in: after his sign-out nothing is saved.
    std::uint64_t session_;
    std::vector<QLabel*> problems_;
    std::vector<QScrollArea*> pages_;
    QLabel* about = nullptr;
    QTabWidget* groups = nullptr;
    QLabel* outcome = nullptr;
};

} // namespace kirvan
