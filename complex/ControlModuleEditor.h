#pragma once

#include <QString>

namespace kirvan {

class ControlModules;
class FileWriteError;
class TreeNode;

// What the editor window ModuleEditorDialog shows and does for the zone of the selected tree node: its
// system and zone, the scenario (0 "НЕТ", 1 to 96), the mode (0 none chosen, 1 "РУЧНОЙ",
// 2 "АВТОМАТ") and the comment. A refused write of the settings is reported to the operator and
// changes nothing.
class ControlModuleEditor {
public:
    static constexpr int scenarioCount = 96;
    enum Mode { NoMode = 0, Manual = 1, Automatic = 2 };

    // FormCreate: a zone node gives its system and itself, a detector node its grandparent and
    // parent; the first saved module of that system and zone fills the fields.
    ControlModuleEditor(ControlModules& modules, const TreeNode* selected);

    const QString& system() const { return system_; } // the system
    const QString& zone() const { return zone_; } // the zone
    int scenario() const { return scenario_; } // item index of the scenario box
    int mode() const { return mode_; } // item index of the mode box
    const QString& comment() const { return comment_; } // the comment

    // updateActions runs with every change of the scenario.
    void setScenario(int index);
    void setMode(int index) { mode_ = index; }
    void setComment(const QString& comment) { comment_ = comment; }
    // "Запустить", "Сохранить" and "Удалить" need a scenario.
    bool actionsEnabled() const { return actionsEnabled_; }

    // "Запустить": the scenario command now; nothing is saved.
    void start();
    // "Сохранить": the zone's module moves to the lowest free slot; the editor stays open.
    void save();
    // "Удалить": the zone's modules go. Returns whether the editor closes, which it does unless
    // the settings could not be written.
    bool erase();

private:
    void updateActions() { actionsEnabled_ = scenario_ != 0; }
    void reportRefusal(const FileWriteError& error);

    ControlModules& modules_;
    // The design texts stay when the node is no zone or detector.
    QString system_ = QStringLiteral("Label2");
    QString zone_ = QStringLiteral("Label3");
    int scenario_ = 0;
    int mode_ = NoMode;
    QString comment_;
    bool actionsEnabled_ = false;
};

} // namespace kirvan
