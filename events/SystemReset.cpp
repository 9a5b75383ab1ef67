#include "events/SystemReset.h"

#include "complex/CompositionTree.h"
#include "complex/DetectorFile.h"
#include "files/SettingsFile.h"
#include "complex/StateIcon.h"
#include "events/EventServices.h"
#include "events/MarkerName.h"
#include "events/TreeMarking.h"

namespace kirvan {

SystemReset::SystemReset(CompositionTree& tree, const SettingsFile& settings, IniStore& store, MarkerPainter& markers)
    : tree_(tree), settings_(settings), store_(store), markers_(markers)
{}

void SystemReset::resetSystemState(const QString& address, const std::set<QString>& spared)
{
    const QString systemFile = settings_.systemFile(address);
    for (TreeNode* system : systemNodes(tree_, address))
        if (!resetDetectors(*system, address, systemFile, spared))
            tree_.setPicture(*system, stateicon::systemNormal);
}

// Detectors are the nodes two levels below the system; zones and anything deeper are passed over.
bool SystemReset::resetDetectors(const TreeNode& system, const QString& address, const QString& systemFile,
                                 const std::set<QString>& spared)
{
    bool anySpared = false;
    for (const auto& zone : system.children())
        for (const auto& detector : zone->children()) {
            const QString marker = markername::of(address, QStringView(detector->text()).left(6));
            if (spared.count(marker)) {
                anySpared = true;
                continue;
            }
            tree_.setPicture(*detector, configuredDetectorPicture(store_, systemFile, detector->text()));
            markers_.removeMarker(marker);
        }
    return anySpared;
}

} // namespace kirvan
