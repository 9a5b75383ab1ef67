#include "plans/MarkerCommands.h"

#include "complex/CompositionTree.h"
#include "complex/LineBase.h"
#include "events/EventServices.h"
#include "link/Commands.h"
#include "link/PanelLink.h"
#include "platform/ConversionError.h"
#include "platform/Dialogs.h"
#include "platform/StatusBar.h"
#include "events/MarkerName.h"
#include "plans/PlanMarkers.h"

namespace kirvan {

namespace {

// The detector of a marker's hint "A01/И12-05 …": address in characters 2-3, device and line
// digits in 6-7, the detector number in 9-10.
DetectorAddress detectorOfHint(const QString& hint)
{
    const int deviceAndLine = toInteger(hint.mid(5, 2));
    return {toInteger(hint.mid(1, 2)), deviceAndLine / 10, deviceAndLine % 10, toInteger(hint.mid(8, 2))};
}

} // namespace

template <typename Visit> void MarkerCommands::forSelectedDetectors(Visit visit) const
{
    const TreeNode* node = s_.tree.selected();
    if (!node)
        return;
    if (node->level() == 2) {
        visit(*node, true);
        return;
    }
    if (node->level() != 1)
        return;
    // The zone's detectors: the nodes that follow it at level 2, up to the next other level.
    for (qsizetype i = s_.tree.absoluteIndexOf(node) + 1;; ++i) {
        const TreeNode* detector = s_.tree.nodeAt(i);
        if (!detector || detector->level() != 2)
            break;
        visit(*detector, false);
    }
}

void MarkerCommands::showMarkers()
{
    forSelectedDetectors([this](const TreeNode& detector, bool alone) {
        if (s_.markers.find(markername::ofDetectorNode(detector)))
            return;
        // A zone's detectors without a stored place are passed over silently.
        if (!s_.markers.paint(markername::recordOfDetectorNode(detector), colours::green, false) && alone)
            s_.dialogs.notice(QStringLiteral("ВНИМАНИЕ"), QStringLiteral("Извещатель не установлен"),
                              Dialogs::Icon::Warning);
    });
}

void MarkerCommands::hideMarkers()
{
    forSelectedDetectors(
        [this](const TreeNode& detector, bool) { s_.markers.removeMarker(markername::ofDetectorNode(detector)); });
}

void MarkerCommands::switchDetectorOn()
{
    sendToSelected(command::switchDetector, true, false);
}

void MarkerCommands::switchDetectorOff()
{
    sendToSelected(command::switchDetector, true, true);
}

void MarkerCommands::arm()
{
    sendToSelected(command::arm, false, false);
}

void MarkerCommands::disarm()
{
    sendToSelected(command::disarm, false, false);
}

void MarkerCommands::sendToSelected(std::uint8_t code, bool queued, bool switchOff)
{
    const PlanMarker* marker = s_.markers.selectedMarker();
    if (!marker)
        return;
    const std::optional<DetectorCommand> frame = buildDetectorCommand(s_.settings, s_.store, s_.dialogs,
                                                                      detectorOfHint(marker->hint), code, switchOff);
    if (!frame)
        return;
    if (queued) {
        // A full queue refuses the command; the link tells the operator.
        if (s_.link.queueCommand(frame->address, frame->code, frame->parameterA, frame->parameterB))
            s_.statusBar.setCommandPanel(switchOff ? QStringLiteral("          КОМАНДА: ВЫКЛ.ИЗВЕЩАТЕЛЬ")
                                                   : QStringLiteral("          КОМАНДА: ВКЛ.ИЗВЕЩАТЕЛЬ"));
    } else {
        s_.link.sendFrame(frame->address, frame->code, frame->parameterA, frame->parameterB);
    }
}

} // namespace kirvan
