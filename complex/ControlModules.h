#pragma once

#include "complex/ControlModuleTable.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

namespace kirvan {

class Dialogs;
class IniFile;
class MessageLoop;
class Timer;

// The prompt ModulePrompt of a manual module while it waits for the operator.
struct ControlModulePrompt {
    QString place; // the system name, a blank and the zone
    QString comment; // the module's comment
    std::uint8_t address; // where the scenario goes
    int scenario; // the scenario started by "ДА"

    // What "ДА" does, as a question: "Запустить сценарий 5 «Вентиляция котельной»?".
    QString question() const;
};

// The control modules: the table of used records, the search that fire and technology alarms run,
// and the single prompt of a manual module. The prompt is not modal: alarms, polling and commands
// go on while it waits, and it stays until the operator answers it, also after an alarm reset.
class ControlModules {
public:
    // Queues the scenario command (152) for the polling cycle: address and parameter A, the
    // scenario number minus 1 modulo 256.
    using ScenarioQueue = std::function<void(std::uint8_t address, std::uint8_t parameterA)>;

    ControlModules(IniFile& settings, MessageLoop& loop, Dialogs& dialogs, ScenarioQueue queue);
    ~ControlModules();

    ControlModuleTable& table() { return table_; }
    Dialogs& dialogs() { return dialogs_; }

    void fillSlots() { table_.fillSlots(); }

    // Runs on every fire and technology alarm. The first matching module in slot order decides:
    // an automatic one starts its scenario, a manual one opens the prompt; while a prompt is
    // open, manual modules are passed over. A record whose "СИСТЕМА" has no address is passed
    // over too; the operator is warned once per record, after the alarm has been handled.
    void findControlModule(const QString& systemName, const QString& zone);

    // The scenario command; a full command queue refuses it (the queue's owner tells the operator
    // and the journal).
    void startScenario(std::uint8_t address, int scenario);

    const std::optional<ControlModulePrompt>& prompt() const { return prompt_; }
    // "ДА": the prompt's scenario starts and the prompt closes.
    void answerYes();
    // "ПРОПУСТИТЬ" and the window's close button: the prompt closes, nothing starts.
    void closePrompt();
    // Runs when a prompt opens or closes, for the window.
    void setOnPromptChanged(std::function<void()> handler) { onPromptChanged_ = std::move(handler); }

private:
    void warnLater(int slot, const QString& system);
    void showWarnings();
    void setPrompt(std::optional<ControlModulePrompt> prompt);

    ControlModuleTable table_;
    IniFile& settings_;
    Dialogs& dialogs_;
    ScenarioQueue queue_;
    std::optional<ControlModulePrompt> prompt_;
    std::function<void()> onPromptChanged_;
    // A modal box inside the search would hold up the alarm it serves; warnings wait for the
    // next turn of the message loop.
    std::unique_ptr<Timer> warningTimer_;
    QStringList pendingWarnings_;
    QSet<QString> warned_;
    bool showingWarnings_ = false;
};

} // namespace kirvan
