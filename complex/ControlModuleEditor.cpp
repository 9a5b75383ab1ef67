#include "complex/ControlModuleEditor.h"

#include "complex/CompositionTree.h"
#include "complex/ControlModules.h"
#include "files/FileWriteError.h"
#include "files/IniFile.h"
#include "platform/ConversionError.h"
#include "platform/Dialogs.h"

using namespace Qt::StringLiterals;

namespace kirvan {

ControlModuleEditor::ControlModuleEditor(ControlModules& modules, const TreeNode* selected) : modules_(modules)
{
    const TreeNode* zone = !selected                ? nullptr
                           : selected->level() == 1 ? selected
                           : selected->level() == 2 ? selected->parent()
                                                    : nullptr;
    if (zone) {
        system_ = zone->parent()->text();
        zone_ = zone->text();
    }
    const std::vector<int> saved = modules_.table().slotsOf(system_, zone_);
    if (!saved.empty()) {
        const IniFile& settings = modules_.table().settings();
        const QString section = ControlModuleTable::sectionName(saved.front());
        const int scenario = settings.readInteger(section, controlmodule::keyScenario, 0);
        // A hand-written number the list does not hold would save as a scenario nobody chose.
        scenario_ = scenario >= 0 && scenario <= scenarioCount ? scenario : 0;
        mode_ = settings.readString(section, controlmodule::keyMode, controlmodule::manual.toString())
                        == controlmodule::manual
                    ? Manual
                    : Automatic;
        comment_ = settings.readString(section, controlmodule::keyComment, {});
    }
    updateActions();
}

void ControlModuleEditor::setScenario(int index)
{
    scenario_ = index;
    updateActions();
}

void ControlModuleEditor::start()
{
    if (!actionsEnabled_)
        return;
    int address = 0;
    try {
        address = toInteger(system_.mid(1, 2));
    } catch (const ConversionError&) {
        modules_.dialogs().messageBox(u"Ошибка"_s,
                                      u"В тексте системы \"%1\" нет её адреса: сценарий не запущен."_s.arg(system_),
                                      Dialogs::Icon::Error);
        return;
    }
    modules_.startScenario(static_cast<std::uint8_t>(address), scenario_);
}

void ControlModuleEditor::save()
{
    if (!actionsEnabled_)
        return;
    try {
        if (!modules_.table().save({system_, zone_, scenario_, mode_ == Automatic, comment_}))
            modules_.dialogs().messageBox(
                u"Предупреждение"_s,
                u"Модуль управления не сохранён: заняты все %1 мест для модулей "
                u"управления. Удалите ненужный модуль и сохраните снова."_s.arg(ControlModuleTable::SlotCount),
                Dialogs::Icon::Warning);
    } catch (const FileWriteError& error) {
        reportRefusal(error);
    }
}

bool ControlModuleEditor::erase()
{
    if (!actionsEnabled_)
        return false;
    try {
        modules_.table().erase(system_, zone_);
    } catch (const FileWriteError& error) {
        reportRefusal(error);
        return false;
    }
    return true;
}

void ControlModuleEditor::reportRefusal(const FileWriteError& error)
{
    modules_.dialogs().messageBox(u"Ошибка"_s,
                                  u"Файл настроек не изменён, модули управления остались прежними.\n%1"_s.arg(
                                      QString::fromStdString(error.what())),
                                  Dialogs::Icon::Error);
}

} // namespace kirvan
