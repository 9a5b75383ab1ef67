#include "app/OperatorCommands.h"

#include "complex/CompositionTree.h"
#include "complex/ConfigurationLoader.h"
#include "complex/LineBase.h"
#include "files/SettingsFile.h"
#include "events/AlarmState.h"
#include "events/EventDispatcher.h"
#include "link/Commands.h"
#include "link/PanelLink.h"
#include "platform/ConversionError.h"
#include "platform/MessageLoop.h"
#include "platform/StatusBar.h"

#include <utility>

namespace kirvan {

namespace {

const TreeNode& systemOf(const TreeNode& node)
{
    const TreeNode* system = &node;
    while (system->parent())
        system = system->parent();
    return *system;
}

} // namespace

std::optional<int> OperatorCommands::selectedSystemAddress() const
{
    const TreeNode* node = s_.tree.selected();
    if (!node)
        return std::nullopt;
    return toInteger(systemOf(*node).text().mid(1, 2));
}

void OperatorCommands::systemRecord(int address, const char* code, const RecordContext& context)
{
    s_.dispatcher.processEvent(SettingsFile::addressKey(address) + QStringLiteral("/И01-01/") + QLatin1String(code),
                               context);
}

void OperatorCommands::controlCheck(std::vector<int> addresses, std::uint64_t since)
{
    if (addresses.empty())
        return;
    systemRecord(addresses.front(), "01", RecordContext{false, since});
    s_.link.delay().afterNextExpiry([this, addresses = std::move(addresses), since]() mutable {
        systemRecord(addresses.front(), "00");
        addresses.erase(addresses.begin());
        controlCheck(std::move(addresses), since);
    });
}

// The selection decides which system F5 checks; the check's record then resets that system.
void OperatorCommands::controlCheck()
{
    if (const std::optional<int> address = selectedSystemAddress())
        controlCheck({*address}, s_.alarms.lastAnnouncement());
}

void OperatorCommands::silenceSystem()
{
    // The sound goes off even without a node: F6 is the key an operator presses to silence.
    s_.alarms.silence();
    const std::optional<int> address = selectedSystemAddress();
    if (!address)
        return;
    s_.statusBar.setCommandPanel(QStringLiteral("          КОМАНДА: ЗВУК.ОТКЛ"));
    systemRecord(*address, "02");
}

const TreeNode* OperatorCommands::selectedDetector() const
{
    const TreeNode* node = s_.tree.selected();
    return node && node->level() == 2 ? node : nullptr;
}

// The detector's own characters, as the node shows them, after its system's address.
void OperatorCommands::detectorRecord(const char* code, const RecordContext& context)
{
    if (const TreeNode* detector = selectedDetector())
        s_.dispatcher.processEvent(detector->parent()->parent()->text().mid(1, 2) + u'/' + detector->text().left(6)
                                       + u'/' + QLatin1String(code),
                                   context);
}

void OperatorCommands::switchDetectorOn()
{
    detectorRecord("03");
}

void OperatorCommands::switchDetectorOff()
{
    detectorRecord("05");
}

void OperatorCommands::simulateFault()
{
    detectorRecord("08", RecordContext{true, {}});
}

void OperatorCommands::simulateFire()
{
    detectorRecord("07", RecordContext{true, {}});
}

// The detector node "И12-05 …" under the system node "A02:…": device and line digits in
// characters 2-3, the detector number in 5-6.
void OperatorCommands::sendToSelectedDetector(std::uint8_t code)
{
    const TreeNode* detector = selectedDetector();
    if (!detector)
        return;
    const int deviceAndLine = toInteger(detector->text().mid(1, 2));
    const DetectorAddress target{toInteger(detector->parent()->parent()->text().mid(1, 2)), deviceAndLine / 10,
                                 deviceAndLine % 10, toInteger(detector->text().mid(4, 2))};
    if (const std::optional<DetectorCommand> frame = buildDetectorCommand(s_.settings, s_.store, s_.dialogs, target, code))
        s_.link.sendFrame(frame->address, frame->code, frame->parameterA, frame->parameterB);
}

void OperatorCommands::arm()
{
    sendToSelectedDetector(command::arm);
}

void OperatorCommands::disarm()
{
    sendToSelectedDetector(command::disarm);
}

template <typename Visit> void OperatorCommands::forEveryConfiguredAddress(Visit visit)
{
    for (int address = 0; address <= 3; ++address)
        if (!s_.settings.systemFile(SettingsFile::addressKey(address)).isEmpty())
            visit(address);
}

void OperatorCommands::controlAll()
{
    // The systems are checked one after another, with a wait for the line between them: an
    // alarm that arrives meanwhile is not the check's to reset.
    const std::uint64_t since = s_.alarms.lastAnnouncement();
    s_.alarms.resetAlarm();
    s_.loader.loadConfiguration();
    if (s_.tree.topLevel().empty())
        return;
    s_.statusBar.setCommandPanel(QStringLiteral("          КОМАНДА: КОНТРОЛЬ"));
    std::vector<int> addresses;
    forEveryConfiguredAddress([&addresses](int address) { addresses.push_back(address); });
    controlCheck(std::move(addresses), since);
}

void OperatorCommands::silenceComplex()
{
    s_.alarms.silence();
    if (s_.tree.topLevel().empty())
        return;
    s_.statusBar.setCommandPanel(QStringLiteral("          КОМАНДА: ЗВУК ОТКЛ."));
    forEveryConfiguredAddress([this](int address) { systemRecord(address, "02"); });
}

} // namespace kirvan
