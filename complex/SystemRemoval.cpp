#include "complex/SystemRemoval.h"
#include "complex/SiteFileKeys.h"

#include "complex/ComplexFile.h"
#include "complex/ControlModuleTable.h"
#include "complex/CompositionTree.h"
#include "files/IniFile.h"
#include "files/SettingsFile.h"
#include "files/SettingsKeys.h"
#include "platform/ConversionError.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kirvan {

namespace {

constexpr std::uint8_t firstAdsStation = 0x20;

} // namespace

SystemRemoval::SystemRemoval(IniStore& store, SettingsFile& settings, QString systemText)
    : store_(store), settings_(settings), text_(std::move(systemText)), addressKey_(text_.mid(1, 2))
{}

QString SystemRemoval::question(const QString& systemText)
{
    return u"Вы уверены, что хотите вывести из состава комплекса "_s + systemText.mid(4) + u'?';
}

int SystemRemoval::eraseControlModules(ControlModuleTable& modules)
{
    return modules.eraseSystem(text_);
}

void SystemRemoval::releaseAddress()
{
    systemFile_ = settings_.ini().readString(settings::sectionAddress, addressKey_, {});
    settings_.ini().writeString(settings::sectionAddress, addressKey_, u"");
}

QString SystemRemoval::journalText() const
{
    return u" СИСТЕМА "_s + text_.mid(4) + u" ВЫВЕДЕНА ИЗ СОСТАВА КОМПЛЕКСА"_s;
}

TreeNode* SystemRemoval::deleteNode(CompositionTree& tree, TreeNode& system)
{
    const auto& systems = tree.topLevel();
    std::size_t position = 0;
    while (position < systems.size() && systems[position].get() != &system)
        ++position;
    tree.remove(&system);
    if (systems.empty())
        return nullptr;
    return systems[std::min(position, systems.size() - 1)].get();
}

void SystemRemoval::removeFromComplexFile()
{
    ComplexFile::removeSystem(settings_.folder().complexFile(), text_);
}

std::optional<SystemRemoval::Notice> SystemRemoval::notice() const
{
    if (settings_.ini().readString(settings::sectionSettings, settings::keyEquipment, {}) != u"0")
        return std::nullopt;
    int address = 0;
    try {
        address = toInteger(addressKey_);
    } catch (const ConversionError&) {
        return std::nullopt; // a node the load could not place: no station knows it
    }
    const int ads
        = IniFile(store_, settings_.localPath(systemFile_)).readInteger(systemfile::sectionSystem, systemfile::keyAds, 1);
    const int station = ads == 1 ? firstAdsStation : firstAdsStation + ads;
    return Notice{static_cast<std::uint8_t>(station), static_cast<std::uint8_t>(address)};
}

} // namespace kirvan
