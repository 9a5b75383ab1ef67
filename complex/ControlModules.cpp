#include "complex/ControlModules.h"

#include "files/IniFile.h"
#include "platform/ConversionError.h"
#include "platform/Dialogs.h"
#include "platform/MessageLoop.h"
#include "platform/Timer.h"

#include <QScopedValueRollback>

using namespace Qt::StringLiterals;

namespace kirvan {

namespace {

// "A01:СКЛАД": characters 2-3 are the address, characters 5 to 254 the system name.
QString systemNameOf(const QString& system)
{
    return system.mid(4, 250);
}

} // namespace

QString ControlModulePrompt::question() const
{
    if (comment.trimmed().isEmpty())
        return u"Запустить сценарий %1?"_s.arg(scenario);
    return u"Запустить сценарий %1 «%2»?"_s.arg(scenario).arg(comment.trimmed());
}

ControlModules::ControlModules(IniFile& settings, MessageLoop& loop, Dialogs& dialogs, ScenarioQueue queue)
    : table_(settings), settings_(settings), dialogs_(dialogs), queue_(std::move(queue)), warningTimer_(loop.createTimer())
{
    warningTimer_->setInterval(1);
    warningTimer_->setOnTimer([this] { showWarnings(); });
}

ControlModules::~ControlModules() = default;

void ControlModules::findControlModule(const QString& systemName, const QString& zone)
{
    for (int slot = 0; slot < ControlModuleTable::SlotCount; ++slot) {
        if (!table_.used(slot))
            continue;
        const QString section = ControlModuleTable::sectionName(slot);
        const QString system = settings_.readString(section, controlmodule::keySystem, {});
        if (systemNameOf(system) != systemName || settings_.readString(section, controlmodule::keyZone, {}) != zone)
            continue;
        int address = 0;
        try {
            address = toInteger(system.mid(1, 2));
        } catch (const ConversionError&) {
            warnLater(slot, system);
            continue;
        }
        const int scenario = settings_.readInteger(section, controlmodule::keyScenario, 255);
        if (settings_.readString(section, controlmodule::keyMode, {}) == controlmodule::automatic) {
            startScenario(static_cast<std::uint8_t>(address), scenario);
            return;
        }
        if (!prompt_) {
            setPrompt(ControlModulePrompt{systemNameOf(system) + u' ' + zone,
                                          settings_.readString(section, controlmodule::keyComment, {}),
                                          static_cast<std::uint8_t>(address), scenario});
            return;
        }
    }
}

void ControlModules::startScenario(std::uint8_t address, int scenario)
{
    queue_(address, static_cast<std::uint8_t>(scenario - 1));
}

void ControlModules::answerYes()
{
    if (!prompt_)
        return;
    startScenario(prompt_->address, prompt_->scenario);
    closePrompt();
}

void ControlModules::closePrompt()
{
    if (prompt_)
        setPrompt(std::nullopt);
}

void ControlModules::setPrompt(std::optional<ControlModulePrompt> prompt)
{
    prompt_ = std::move(prompt);
    if (onPromptChanged_)
        onPromptChanged_();
}

void ControlModules::warnLater(int slot, const QString& system)
{
    const QString section = ControlModuleTable::sectionName(slot);
    if (warned_.contains(section + u'\n' + system))
        return;
    warned_.insert(section + u'\n' + system);
    pendingWarnings_ << u"Модуль управления \"%1\" пропущен: в значении СИСТЕМА=%2 файла настроек нет "
                        u"адреса системы.\nСценарий этого модуля не запускается. Сохраните модуль заново "
                        u"в редакторе модулей управления."_s.arg(section, system);
    warningTimer_->setEnabled(true);
}

void ControlModules::showWarnings()
{
    warningTimer_->setEnabled(false);
    // Boxes keep processing messages, so a search may add warnings while one is shown: the
    // box shown already takes them on after it, one box at a time.
    if (showingWarnings_)
        return;
    const QScopedValueRollback showing(showingWarnings_, true);
    while (!pendingWarnings_.isEmpty())
        dialogs_.notice(u"Предупреждение"_s, pendingWarnings_.takeFirst(), Dialogs::Icon::Warning);
}

} // namespace kirvan
