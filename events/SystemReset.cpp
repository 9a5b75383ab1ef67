#include "events/SystemReset.h"

#include "complex/CompositionTree.h"
#include "complex/DetectorFile.h"
#include "files/SettingsFile.h"
#include "complex/StateIcon.h"
#include "events/EventServices.h"
#include "events/MarkerName.h"
#include "events/TreeMarking.h"
#include "platform/ConversionError.h"

namespace kirvan {

SystemReset::SystemReset(CompositionTree& tree, const SettingsFile& settings, IniStore& store,
                         MarkerPainter& markers)
    : tree_(tree), settings_(settings), store_(store), markers_(markers)
{
}

std::optional<int> SystemReset::ResetSystemState(const QString& addressWhenNoneSelected)
{
    TreeNode* system = tree_.selected();
    if (system) {
        while (system->parent())
            system = system->parent();
    } else {
        if (addressWhenNoneSelected.isEmpty())
            return std::nullopt;
        const auto nodes = systemNodes(tree_, addressWhenNoneSelected);
        if (nodes.empty())
            return std::nullopt;
        system = nodes.front();
    }
    const QString addressKey = system->text().mid(1, 2);
    const int address = toInteger(addressKey);
    tree_.setPicture(*system, stateicon::systemNormal);
    resetDetectors(*system, addressKey, settings_.systemFile(addressKey));
    return address;
}

// Detectors are the nodes two levels below the system; zones and anything deeper are passed over.
void SystemReset::resetDetectors(const TreeNode& system, const QString& addressKey, const QString& systemFile)
{
    const QString address = SettingsFile::addressKey(toInteger(addressKey));
    for (const auto& zone : system.children())
        for (const auto& detector : zone->children()) {
            tree_.setPicture(*detector, configuredDetectorPicture(store_, systemFile, detector->text()));
            markers_.removeMarker(markername::of(address, QStringView(detector->text()).left(6)));
        }
}

} // namespace kirvan
