#include "tools/kirvan-load/ZoneDetectors.h"

#include "complex/ComplexFile.h"
#include "complex/CompositionTree.h"
#include "files/WorkstationFolder.h"
#include "tools/kirvan-sim/SimComplex.h"

namespace kirvan::load {

std::vector<Target> firstDetectorOfEachZone(const QString& folder)
{
    CompositionTree tree;
    ComplexFile::load(tree, WorkstationFolder(folder).complexFile());
    std::vector<Target> targets;
    for (const auto& system : tree.topLevel()) {
        bool addressOk = false;
        const int address = system->text().mid(1, 2).toInt(&addressOk);
        if (!addressOk)
            continue;
        for (const auto& zone : system->children()) {
            if (zone->children().empty())
                continue;
            const QString id = zone->children().front()->text().left(6);
            if (const auto point = sim::parseDetectorId(id))
                targets.push_back(Target{address, id, *point, zone->text()});
        }
    }
    return targets;
}

std::vector<Target> spread(const std::vector<Target>& targets, std::size_t count)
{
    if (targets.size() <= count)
        return targets;
    std::vector<Target> chosen;
    for (std::size_t i = 0; i < count; ++i)
        chosen.push_back(targets[i * targets.size() / count]);
    return chosen;
}

} // namespace kirvan::load
