#include "plans/PlanDisplay.h"

#include "complex/CompositionTree.h"
#include "files/IniFile.h"
#include "files/PathCase.h"
#include "files/SettingsFile.h"
#include "files/SettingsKeys.h"
#include "platform/PictureLoader.h"
#include "plans/PlanArea.h"
#include "plans/PlanMarkers.h"
#include "plans/ZonePlan.h"

#include <QDir>
#include <QFileInfo>

namespace kirvan {

const TreeNode& systemNodeOf(const TreeNode& node)
{
    const TreeNode* system = &node;
    while (system->parent())
        system = system->parent();
    return *system;
}

PlanDisplay::PlanDisplay(const SettingsFile& settings, IniStore& store, const PictureLoader& loader, PlanArea& area,
                         PlanMarkers& markers)
    : settings_(settings), store_(store), loader_(loader), area_(area), markers_(markers)
{
}

void PlanDisplay::showFor(const TreeNode& node)
{
    const TreeNode& system = systemNodeOf(node);
    const QString systemFile = settings_.systemFile(system.text().mid(1, 2));
    if (systemFile.isEmpty() || !QFileInfo::exists(resolvePathCase(systemFile)))
        return;
    const IniFile systemIni(store_, systemFile);
    const QString systemName = system.text().mid(4, 255);
    QString plan;
    QString title = systemName;
    if (node.level() == 0) {
        plan = systemIni.readString(settings::sectionGeneralPlan, u"0", {});
    } else {
        const TreeNode& zone = node.level() == 1 ? node : *node.parent();
        const int n = zoneplan::zoneNumber(store_, systemFile, zone.text());
        if (n == 0)
            return;
        plan = systemIni.readString(u"ПЛАН ЗОНЫ", QString::number(n), {});
        title += u' ' + zone.text().left(255);
    }
    markers_.showPlan(plan);
    showStored(title, plan);
    area_.setCurrentPlan(plan);
}

void PlanDisplay::showStored(const QString& title, const QString& storedPlan)
{
    const QString path = storedPlan.isEmpty() ? QString() : resolvePathCase(settings_.localPath(storedPlan));
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        area_.clear();
        return;
    }
    const PictureLoader::Result read = loader_.load(path, pictureBound);
    area_.show(title, read.picture, read.error.isEmpty() ? QString() : unreadableText(storedPlan, read.error));
}

void PlanDisplay::showPicture(const QString& localPath)
{
    const PictureLoader::Result read = loader_.load(localPath, pictureBound);
    area_.showPicture(read.picture, read.error.isEmpty() ? QString() : unreadableText(localPath, read.error));
}

QString PlanDisplay::unreadableText(const QString& plan, const QString& error)
{
    return QStringLiteral("План не удаётся показать: %1\n%2").arg(error, QDir::toNativeSeparators(plan));
}

} // namespace kirvan
