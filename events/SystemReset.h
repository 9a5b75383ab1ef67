#pragma once

#include <QString>
#include <set>

namespace kirvan {

class CompositionTree;
class IniStore;
class MarkerPainter;
class SettingsFile;
class TreeNode;

// resetSystemState: the pictures of one system's nodes return to their configured state (the
// system normal, each detector by its type and switch state) and its detectors' plan markers go.
class SystemReset {
public:
    SystemReset(CompositionTree& tree, const SettingsFile& settings, IniStore& store, MarkerPainter& markers);

    // Resets the system nodes of `address` (two digits, as characters 1-2 of a record) with
    // their detectors, except the detectors whose marker names are `spared` (alarms announced
    // after the check began): they keep their pictures and markers, and their system node its
    // picture.
    void resetSystemState(const QString& address, const std::set<QString>& spared = {});

private:
    // True when a detector was spared.
    bool resetDetectors(const TreeNode& system, const QString& address, const QString& systemFile,
                        const std::set<QString>& spared);

    CompositionTree& tree_;
    const SettingsFile& settings_;
    IniStore& store_;
    MarkerPainter& markers_;
};

} // namespace kirvan
