#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace kirvan {

class CompositionTree;
class ConfigurationLoader;
class ControlModuleTable;
class Dialogs;
class IniStore;
class LinkPort;
class PanelLink;
class SettingsFile;
class StatusBar;
class TreeNode;
class TreePopup;

// "Ввести в состав" (addSystem) and "Вывести из состава" (removeSystem) in the window:
// the dialogs, the pause of polling and the port, the status bar and the reload around the file
// work of SystemAddition and SystemRemoval.
class SystemCommands {
public:
    struct Services {
        Dialogs& dialogs;
        StatusBar& statusBar;
        IniStore& store;
        SettingsFile& settings;
        CompositionTree& tree;
        TreePopup& popup;
        PanelLink& link;
        LinkPort& port;
        ConfigurationLoader& loader;
        ControlModuleTable& modules;
        // Writes a journal line after the current date and time.
        std::function<void(const QString& text)> logDated;
    };

    explicit SystemCommands(const Services& services);

    // While a system is prepared: the hourglass pointer.
    void setOnBusy(std::function<void(bool busy)> handler) { onBusy_ = std::move(handler); }
    // The plan area is emptied before the system file is read.
    void setOnClearPlan(std::function<void()> handler) { onClearPlan_ = std::move(handler); }
    // While a system is prepared, after each zone shown and each file read: the window handles
    // the messages that are pending, so it repaints and answers meanwhile.
    void setOnProgress(std::function<void()> handler) { onProgress_ = std::move(handler); }
    // Nodes were deleted from the tree: the view must let go of them at once.
    void setOnTreeChanged(std::function<void()> handler) { onTreeChanged_ = std::move(handler); }

    // Asks for a system file and its address, registers the system, appends its zones and
    // detectors to the composition file and reloads the configuration. Polling and the port
    // are put back as they were however it ends.
    void addSystem();
    // Takes the selected system out of the complex after the operator confirmed it.
    void removeSystem();

    // True while one of the two runs; a second command then does nothing.
    bool running() const { return running_; }

private:
    // The address typed, asked again until it is a number from 0 to 3; nothing on Cancel.
    std::optional<int> askAddress();
    // The status bar and the pointer while a system is prepared, and after.
    void showPreparation(bool on);
    // The selected system node if it still is the one the operator confirmed.
    TreeNode* confirmedSystem(qsizetype index, const QString& text) const;

    Services s_;
    std::function<void(bool)> onBusy_;
    std::function<void()> onClearPlan_;
    std::function<void()> onProgress_;
    std::function<void()> onTreeChanged_;
    bool running_ = false;
};

} // namespace kirvan
