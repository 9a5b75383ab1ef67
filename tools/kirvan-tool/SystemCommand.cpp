#include "tools/kirvan-tool/SystemCommand.h"

#include "complex/ControlModuleTable.h"
#include "files/PathCase.h"
#include "files/SettingsFile.h"
#include "complex/SystemAddition.h"
#include "complex/SystemRemoval.h"
#include "files/WorkstationLock.h"
#include "journal/LogFile.h"
#include "platform/Clock.h"
#include "platform/Locale.h"
#include "tools/kirvan-tool/ToolCommand.h"

#include <QFileInfo>
#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace kirvan {

namespace {

// A refusal: one line on standard error and exit status 1.
struct Refused : std::runtime_error {
    using std::runtime_error::runtime_error;
    explicit Refused(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// The folder's settings, taken only from a workstation folder no program works on.
struct Workplace {
    WorkstationLock lock;
    SettingsFile settings;
};

Workplace open(const QString& folder, IniStore& store)
{
    const WorkstationFolder workstation(folder);
    if (!QFileInfo(resolvePathCase(workstation.settingsFile())).isFile())
        throw Refused(u"%1 is not a workstation folder: it has no KirvanMonitorP.ini"_s.arg(workstation.path()));
    QString failure;
    WorkstationLock::Refusal refusal{};
    std::optional<WorkstationLock> lock = WorkstationLock::acquire(workstation.path(), &refusal, &failure);
    if (!lock)
        throw Refused(refusal == WorkstationLock::Refusal::HeldByAnother
                          ? WorkstationLock::heldMessage(workstation.path())
                          : failure);
    return Workplace{std::move(*lock), SettingsFile(store, workstation)};
}

void logDated(const ToolPlatform& platform, const SettingsFile& settings, const QString& text)
{
    LogFile log(settings.folder().logFile());
    log.append(platform.locale.dateTime(platform.clock.now()) + text);
    if (!log.flush())
        throw Refused(u"the journal line was not written to %1"_s.arg(log.path()));
}

int add(const QString& file, int system, const QString& folder, const ToolPlatform& platform, QTextStream& out)
{
    const QFileInfo systemFile(resolvePathCase(file));
    if (!systemFile.isFile())
        throw Refused(u"no system file %1"_s.arg(file));
    Workplace place = open(folder, platform.store);
    SystemAddition addition(platform.store, place.settings, systemFile.absoluteFilePath(), system);
    if (const std::optional<QString> reason = addition.refusal())
        throw Refused(*reason);
    // The slow reading first: a kill then leaves nothing written.
    const std::vector<ComplexFile::Line> lines = addition.compositionLines({});
    addition.write(lines);
    const auto count = [&lines](int level) {
        return std::count_if(lines.begin(), lines.end(),
                             [level](const ComplexFile::Line& line) { return line.level == level; });
    };
    logDated(platform, place.settings, addition.journalText());
    out << "added " << addition.nodeText() << " (zones: " << count(1) << ", detectors: " << count(2) << ")\n";
    return ToolOk;
}

int remove(int system, const QString& folder, const ToolPlatform& platform, QTextStream& out)
{
    const QString prefix = u"A"_s + SettingsFile::addressKey(system) + u':';
    Workplace place = open(folder, platform.store);
    // The file as it is on disk, not the tree a load makes of it: a system after a damaged line
    // is still the site's, and can still be taken out.
    const QString complexFile = place.settings.folder().complexFile();
    const QStringList systems = ComplexFile::systemsOnDisk(complexFile);
    const auto found = std::find_if(systems.cbegin(), systems.cend(),
                                    [&prefix](const QString& text) { return text.startsWith(prefix); });
    if (found == systems.cend())
        throw Refused(u"no system with address %1 in %2"_s.arg(prefix.mid(1, 2), complexFile));

    SystemRemoval removal(platform.store, place.settings, *found);
    ControlModuleTable modules(place.settings.ini());
    modules.fillSlots();
    removal.eraseControlModules(modules);
    removal.releaseAddress();
    logDated(platform, place.settings, removal.journalText());
    removal.removeFromComplexFile();
    out << "removed " << *found << '\n';
    if (const auto notice = removal.notice())
        out << "the АДС station 0x" << QString::number(notice->station, 16)
            << " was not told (the workstation is not running); remove the system there as well\n";
    return ToolOk;
}

} // namespace

int runSystemCommand(const QStringList& arguments, const ToolPlatform& platform, QTextStream& out, QTextStream& err)
{
    QStringList words = arguments;
    const qsizetype dir = words.indexOf(u"--dir"_s);
    if (dir < 0 || dir + 1 >= words.size()) {
        err << "kirvan-tool: system commands need --dir DIR, the workstation folder\n";
        return ToolUsage;
    }
    const QString folder = words[dir + 1];
    words.remove(dir, 2);
    const bool adding = words.size() == 3 && words[0] == u"add";
    const bool removing = words.size() == 2 && words[0] == u"remove";
    if (!adding && !removing) {
        err << "kirvan-tool: expected: system add FILE ADDRESS --dir DIR | system remove ADDRESS --dir DIR\n";
        return ToolUsage;
    }
    const std::optional<int> system = SystemAddition::parseAddress(words.back());
    if (!system) {
        err << "kirvan-tool: ADDRESS: Версия программы обслуживает адреса из диапазона 0..3 (\"" << words.back()
            << "\")\n";
        return ToolUsage;
    }
    try {
        return adding ? add(words[1], *system, folder, platform, out) : remove(*system, folder, platform, out);
    } catch (const std::exception& failure) {
        err << "kirvan-tool: " << QString::fromStdString(failure.what()) << '\n';
        return ToolFailed;
    }
}

} // namespace kirvan
