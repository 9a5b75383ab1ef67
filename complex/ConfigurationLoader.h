#pragma once

#include <QMap>
#include <QString>
#include <functional>

namespace kirvan {

class CompositionTree;
class Dialogs;
class IniStore;
class LinkControl;
class SettingsFile;
class StatusBar;
class TreeNode;
class TreePopup;

// loadConfiguration: rebuilds the composition tree from the composition file, gives every node
// its configuration picture, asks every accepted system for its state and starts polling.
// Runs at start-up, after a system was added and for "Общий контроль".
class ConfigurationLoader {
public:
    // The wait after the reset and before the file is read; other handlers run meanwhile.
    static constexpr int settleMs = 500;

    ConfigurationLoader(CompositionTree& tree, const SettingsFile& settings, IniStore& store, StatusBar& statusBar,
                        Dialogs& dialogs, LinkControl& link, TreePopup& popup);

    // True while the load works: the window shows the hourglass pointer and does not redraw
    // the tree; false when it is done.
    void setOnBusy(std::function<void(bool busy)> handler) { onBusy_ = std::move(handler); }
    // The new tree stands: the alarms still announced are marked on it again, at once, before
    // any other handler can run and see it without them. Returns the node the display belongs
    // to (a fire's detector), or nullptr for the first system.
    void setOnLoaded(std::function<TreeNode*()> handler) { onLoaded_ = std::move(handler); }

    // A load asked for while one runs (from a handler inside its waits) is made once more after
    // it, so the tree is never replaced under a load that is still visiting it.
    void loadConfiguration();

private:
    void loadOnce();
    // Reads the file (when there is one) and visits the nodes; returns the report of
    // a file that could not be read completely, or an empty text.
    QString readTree();
    void visitSystems(bool setPictures);
    // Whether the system is accepted: false after the range message for an address that is
    // not 0 to 3. Throws ConversionError when characters 2-3 are not a number.
    bool acceptSystem(const TreeNode& system);
    void setSubtreePictures(const TreeNode& parent, int childLevel, const QString& systemFile);
    // The configured picture; a detector file that is there but cannot be read is noted once.
    int detectorPicture(const QString& systemFile, const QString& nodeText);
    void setBusy(bool busy);

    CompositionTree& tree_;
    const SettingsFile& settings_;
    IniStore& store_;
    StatusBar& statusBar_;
    Dialogs& dialogs_;
    LinkControl& link_;
    TreePopup& popup_;
    std::function<void(bool)> onBusy_;
    std::function<TreeNode*()> onLoaded_;
    bool loading_ = false;
    bool loadAgain_ = false;
    // Detector files of the load that could not be read, with the reason.
    QMap<QString, QString> unreadable_;
};

} // namespace kirvan
