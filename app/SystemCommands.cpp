#include "app/SystemCommands.h"

#include "complex/CompositionTree.h"
#include "complex/DialogFolders.h"
#include "complex/ConfigurationLoader.h"
#include "complex/SystemAddition.h"
#include "complex/SystemRemoval.h"
#include "complex/TreePopup.h"
#include "link/Commands.h"
#include "link/LinkPort.h"
#include "link/PanelLink.h"
#include "platform/Dialogs.h"
#include "platform/StatusBar.h"

using namespace Qt::StringLiterals;

namespace kirvan {

namespace {

constexpr std::uint8_t systemLeftComplex = 0x80; // parameter A of code 138 to an АДС station

// Runs `undo` when the scope is left, however.
template <typename F> struct Finally {
    F undo;
    ~Finally() { undo(); }
};
template <typename F> Finally(F) -> Finally<F>;

} // namespace

SystemCommands::SystemCommands(const Services& services) : s_(services) {}

void SystemCommands::addSystem()
{
    if (running_)
        return;
    running_ = true;
    Finally done{[this] { running_ = false; }};

    // Polling and reception go on while the operator chooses the file and types the address: a
    // fire must not wait for a dialog.
    const std::optional<QString> systemFile = s_.dialogs.openFile(
        u"Ввести в состав"_s, u"Конфигурация системы (*.cnf)"_s, dialogfolders::systemFiles(s_.settings));
    if (!systemFile)
        return;
    if (onClearPlan_)
        onClearPlan_();
    const std::optional<int> address = askAddress();
    if (!address)
        return;
    SystemAddition addition(s_.store, s_.settings, *systemFile, *address);
    if (const std::optional<QString> reason = addition.refusal()) {
        s_.dialogs.messageBox(u"Ошибка"_s, *reason, Dialogs::Icon::Error);
        return;
    }

    // The long reading of the detector files comes before any write, with the line polled as
    // usual: a refusal or a failure of the reading leaves every file as it was.
    std::vector<ComplexFile::Line> lines;
    showPreparation(true);
    try {
        lines = addition.compositionLines([this](const QString& zone) {
            s_.statusBar.setStatePanel(u"    "_s + zone);
            if (onProgress_)
                onProgress_();
        });
    } catch (...) {
        showPreparation(false);
        throw;
    }

    // The line pauses only while the files are written. The port comes back as it was, after a
    // failure and a completed addition alike: a port left closed would leave every other system
    // unwatched.
    PollingCycle& cycle = s_.link.cycle();
    const bool polling = cycle.running();
    const std::optional<int> port = s_.link.ports().checked();
    cycle.stop();
    s_.port.close();
    const auto resume = [this, port, &cycle](bool poll) {
        showPreparation(false);
        if (port)
            s_.port.openNumber(*port);
        if (poll)
            cycle.start();
    };
    try {
        addition.write(lines);
    } catch (...) {
        resume(polling);
        throw;
    }
    resume(true);
    s_.logDated(addition.journalText());
    s_.loader.loadConfiguration();
}

void SystemCommands::showPreparation(bool on)
{
    if (on) {
        s_.statusBar.setMessagePanel(u"ВНИМАНИЕ! ПОДГОТОВКА КОНФИГУРАЦИИ МОЖЕТ ЗАНЯТЬ НЕСКОЛЬКО МИНУТ"_s);
        s_.statusBar.setCommandPanel(u"          КОМАНДА: ОБРАБОТКА ЗОНЫ"_s);
    } else {
        s_.statusBar.setMessagePanel({});
        s_.statusBar.setStatePanel({});
    }
    if (onBusy_)
        onBusy_(on);
}

std::optional<int> SystemCommands::askAddress()
{
    for (;;) {
        const std::optional<QString> typed = s_.dialogs.inputBox(u"Регистрация адреса"_s,
                                                                 u"Введите адрес системы (0..3)"_s, {});
        if (!typed)
            return std::nullopt;
        if (const std::optional<int> address = SystemAddition::parseAddress(*typed))
            return address;
        s_.dialogs.messageBox(u"Ошибка"_s, u"Версия программы обслуживает адреса из диапазона 0..3"_s,
                              Dialogs::Icon::Error);
    }
}

void SystemCommands::removeSystem()
{
    TreeNode* selected = s_.tree.selected();
    if (running_ || !selected || selected->level() != 0)
        return;
    running_ = true;
    Finally done{[this] { running_ = false; }};

    const QString text = selected->text();
    const qsizetype index = s_.tree.absoluteIndexOf(selected);
    const Dialogs::Answer answer = s_.dialogs.messageBox(u"Вывести из состава"_s, SystemRemoval::question(text),
                                                         Dialogs::Icon::Question, Dialogs::Buttons::OkCancel);
    // The dialog kept the messages going: an event or a reload may have changed the tree.
    if (TreeNode* system = answer == Dialogs::Answer::Ok ? confirmedSystem(index, text) : nullptr) {
        SystemRemoval removal(s_.store, s_.settings, system->text());
        removal.eraseControlModules(s_.modules);
        removal.releaseAddress();
        s_.logDated(removal.journalText());
        TreeNode* neighbour = SystemRemoval::deleteNode(s_.tree, *system);
        if (onTreeChanged_)
            onTreeChanged_();
        if (neighbour)
            s_.tree.select(neighbour);
        removal.removeFromComplexFile();
        if (s_.tree.topLevel().empty()) {
            s_.link.cycle().stop();
            s_.statusBar.setCommandPanel({});
            s_.statusBar.setStatePanel({});
        }
        if (const auto notice = removal.notice())
            s_.link.sendFrame(notice->station, command::switchDetector, systemLeftComplex, notice->address);
    }
    if (!s_.tree.topLevel().empty()) {
        s_.popup.assignNormalMenu();
        s_.link.cycle().start();
    }
}

TreeNode* SystemCommands::confirmedSystem(qsizetype index, const QString& text) const
{
    const auto isIt = [&text](const TreeNode* node) { return node && node->level() == 0 && node->text() == text; };
    if (TreeNode* node = s_.tree.nodeAt(index); isIt(node))
        return node;
    for (const auto& system : s_.tree.topLevel())
        if (isIt(system.get()))
            return system.get();
    return nullptr;
}

} // namespace kirvan
