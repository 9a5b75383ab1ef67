#pragma once

#include <QString>
#include <optional>

namespace kirvan {

class CompositionTree;
class IniStore;
class MarkerPainter;
class SettingsFile;
class TreeNode;

// ResetSystemState: the pictures of one system's nodes return to their configured state (the
// system normal, each detector by its type and switch state) and its detectors' plan markers go.
class SystemReset {
public:
    SystemReset(CompositionTree& tree, const SettingsFile& settings, IniStore& store, MarkerPainter& markers);

    // Resets the system of the selected node (the node itself, its parent or its grandparent).
    // With no node selected, a control check from the line still resets a system: the first
    // system node of `addressWhenNoneSelected` (characters 1-2 of its record), if any. Returns
    // the address of the system reset. Throws ConversionError when the system node's characters
    // 2-3 are not a number.
    std::optional<int> ResetSystemState(const QString& addressWhenNoneSelected = {});

private:
    void resetDetectors(const TreeNode& system, const QString& addressKey, const QString& systemFile);

    CompositionTree& tree_;
    const SettingsFile& settings_;
    IniStore& store_;
    MarkerPainter& markers_;
};

} // namespace kirvan
