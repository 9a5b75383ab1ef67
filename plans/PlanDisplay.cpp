#include "plans/PlanDisplay.h"
#include "complex/SiteFileKeys.h"

#include "complex/CompositionTree.h"
#include "files/IniFile.h"
#include "files/PathCase.h"
#include "files/SettingsFile.h"
#include "files/SettingsKeys.h"
#include "plans/PlanArea.h"
#include "plans/PlanMarkers.h"
#include "plans/PlanPictures.h"
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

PlanDisplay::PlanDisplay(const SettingsFile& settings, IniStore& store, PlanPictures& pictures, PlanArea& area,
                         PlanMarkers& markers)
    : settings_(settings), store_(store), pictures_(pictures), area_(area), markers_(markers)
{}

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
        plan = systemIni.readString(systemfile::sectionZonePlans, QString::number(n), {});
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
        pictures_.abandon();
        showing_ = {};
        area_.clear();
        return;
    }
    show(path, storedPlan,
         [this, title](const QImage& picture, const QString& message) { area_.show(title, picture, message); });
}

void PlanDisplay::showPicture(const QString& localPath)
{
    show(localPath, localPath,
         [this](const QImage& picture, const QString& message) { area_.showPicture(picture, message); });
}

void PlanDisplay::clearPicture()
{
    pictures_.abandon();
    showing_ = {};
    area_.showPicture(QImage(), {});
}

void PlanDisplay::areaResized()
{
    // A picture that cannot be read stays explained; it is not read again for every size.
    if (showing_.path.isEmpty() || (!area_.message().isEmpty() && area_.message() != loadingText))
        return;
    request(showing_.path, showing_.named, showing_.shown);
}

void PlanDisplay::show(const QString& path, const QString& named, const Shown& shown)
{
    showing_ = {path, named, shown};
    if (!pictures_.find(path, area_.size()))
        shown(QImage(), loadingText);
    request(path, named, shown);
}

void PlanDisplay::request(const QString& path, const QString& named, const Shown& shown)
{
    const auto explained = [named](const PictureLoader::Result& read) {
        return read.error.isEmpty() ? QString() : unreadableText(named, read.error);
    };
    if (const std::optional<PictureLoader::Result> kept = pictures_.find(path, area_.size())) {
        pictures_.abandon();
        shown(kept->picture, explained(*kept));
        return;
    }
    pictures_.request(path, area_.size(),
                      [shown, explained](const PictureLoader::Result& read) { shown(read.picture, explained(read)); });
}

QString PlanDisplay::unreadableText(const QString& plan, const QString& error)
{
    return QStringLiteral("План не удаётся показать: %1\n%2").arg(error, QDir::toNativeSeparators(plan));
}

} // namespace kirvan
