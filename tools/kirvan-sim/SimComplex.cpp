#include "tools/kirvan-sim/SimComplex.h"

#include "complex/ComplexFile.h"
#include "complex/CompositionTree.h"
#include "complex/DetectorFile.h"
#include "files/IniStore.h"
#include "files/PathCase.h"
#include "files/SettingsFile.h"
#include "files/SettingsKeys.h"
#include "files/WorkstationFolder.h"

#include <QDir>
#include <QFileInfo>

namespace kirvan::sim {
namespace {

constexpr QStringView sectionDevices = u"ПРИБОРЫ";
constexpr QStringView absent = u"НЕТ";
constexpr QStringView fourLines = u"-4";

std::array<int, 9> lineBases(const IniFile& systemFile)
{
    std::array<int, 9> base{-1, 7, 0, 0, 0, 0, 0, 0, 0};
    for (std::size_t device = 2; device < base.size(); ++device) {
        const QString value
            = systemFile.readString(sectionDevices, QStringLiteral("ППКП%1").arg(device - 1), absent.toString()).trimmed();
        if (value == absent)
            break;
        base[device] = base[device - 1] + (value == fourLines ? 4 : 8);
    }
    return base;
}

// The detectors under the system node "ANN:..." of the composition file.
std::vector<Detector> composedDetectors(const CompositionTree& tree, int address)
{
    std::vector<Detector> detectors;
    const QString prefix = QStringLiteral("A%1:").arg(address, 2, 10, QLatin1Char('0'));
    for (const auto& systemNode : tree.topLevel()) {
        if (!systemNode->text().startsWith(prefix))
            continue;
        for (const auto& zone : systemNode->children())
            for (const auto& node : zone->children()) {
                const QString id = node->text().left(6);
                if (const auto point = parseDetectorId(id))
                    detectors.push_back({id, *point, false});
            }
    }
    return detectors;
}

} // namespace

std::optional<Point> parseDetectorId(QStringView id)
{
    if (id.size() != 6 || id[0] != u'И' || id[3] != u'-' || !id[1].isDigit() || !id[2].isDigit())
        return std::nullopt;
    bool ok = false;
    const int number = id.mid(4, 2).toInt(&ok);
    const int line = id[2].digitValue();
    if (!ok || !id[4].isDigit() || number < 1 || number > 60 || line < 1 || line > 8)
        return std::nullopt;
    return Point{id[1].digitValue(), line, number};
}

QString detectorIdOf(const Point& point)
{
    return QStringLiteral("И%1%2-%3").arg(point.device).arg(point.line).arg(point.number, 2, 10, QLatin1Char('0'));
}

SimComplex::SimComplex(IniStore& store, const QString& folderPath) : store_(store)
{
    if (!QFileInfo(folderPath).isDir())
        throw ComplexError(QStringLiteral("no workstation folder %1").arg(folderPath));
    const WorkstationFolder folder(folderPath);
    if (!QFileInfo::exists(resolvePathCase(folder.settingsFile())))
        throw ComplexError(QStringLiteral("no settings file %1").arg(folder.settingsFile()));
    const SettingsFile settings(store, folder);
    CompositionTree tree;
    ComplexFile::load(tree, resolvePathCase(folder.complexFile()));
    for (int address = 0; address < 4; ++address) {
        const QString file = settings.systemFile(SettingsFile::addressKey(address));
        if (file.isEmpty() || !QFileInfo::exists(resolvePathCase(file)))
            continue;
        SimSystem system;
        system.address = address;
        system.name = QFileInfo(file).completeBaseName().toUpper();
        system.file = file;
        system.lineBase = lineBases(IniFile(store, file));
        system.detectors = composedDetectors(tree, address);
        for (auto& detector : system.detectors)
            detector.on = detectorFile(system, detector.id).readString(detector.id, detectorfile::keyState, {})
                          == detectorfile::stateOn;
        systems_.push_back(std::move(system));
    }
    if (systems_.empty())
        throw ComplexError(QStringLiteral("no system file under \"АДРЕС\" of %1 exists").arg(folder.settingsFile()));
}

SimSystem* SimComplex::system(int address)
{
    for (auto& system : systems_)
        if (system.address == address)
            return &system;
    return nullptr;
}

Detector* SimComplex::detector(int address, QStringView id)
{
    SimSystem* owner = system(address);
    if (owner == nullptr)
        return nullptr;
    for (auto& detector : owner->detectors)
        if (detector.id == id)
            return &detector;
    return nullptr;
}

IniFile SimComplex::detectorFile(const SimSystem& system, const QString& id) const
{
    return IniFile(store_, detectorFilePath(system.file, id[1]));
}

bool SimComplex::detectorExists(int address, const QString& id) const
{
    for (const auto& system : systems_)
        if (system.address == address)
            return detectorFile(system, id).sectionExists(id);
    return false;
}

QString SimComplex::describe(int address, const QString& id) const
{
    for (const auto& system : systems_)
        if (system.address == address) {
            const IniFile file = detectorFile(system, id);
            return QStringLiteral("%1 %2 %3 (%4)")
                .arg(system.name, id, file.readString(id, detectorfile::keyText, {}),
                     file.readString(id, detectorfile::keyZone, {}));
        }
    return id;
}

std::optional<Point> SimComplex::pointOfLine(const SimSystem& system, int lineNumber, int number)
{
    for (int device = 0; device < static_cast<int>(system.lineBase.size()); ++device) {
        const int base = system.lineBase[static_cast<std::size_t>(device)];
        if (device >= 2 && base == 0)
            break;
        const int line = lineNumber - base;
        if (line >= 1 && line <= 8
            && (device + 1 >= static_cast<int>(system.lineBase.size())
                || line <= system.lineBase[static_cast<std::size_t>(device) + 1] - base
                || system.lineBase[static_cast<std::size_t>(device) + 1] == 0))
            return Point{device, line, number};
    }
    return std::nullopt;
}

} // namespace kirvan::sim
