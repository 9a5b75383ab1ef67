#include "transmit/DetectorDirectory.h"

#include "complex/CompositionTree.h"
#include "complex/StateIcon.h"

namespace kirvan {

DetectorDirectory detectorDirectory(const CompositionTree& tree)
{
    DetectorDirectory directory;
    for (const auto& system : tree.topLevel()) {
        const QString address = system->text().mid(1, 2);
        directory.systems.insert(address, system->text().mid(4));
        int number = 0;
        for (const auto& zone : system->children())
            for (const auto& detector : zone->children()) {
                const bool security = detector->imageIndex() == stateicon::securityOn
                                      || detector->imageIndex() == stateicon::securityOff;
                directory.detectors.insert({address, detector->text().left(6)}, DetectorEntry{++number, security});
            }
    }
    return directory;
}

} // namespace kirvan
