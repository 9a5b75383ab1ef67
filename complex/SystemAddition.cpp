#include "complex/SystemAddition.h"

#include "complex/DetectorFile.h"
#include "files/Cp1251.h"
#include "files/PathCase.h"
#include "files/RegularFile.h"
#include "files/TextLines.h"
#include "files/IniFile.h"
#include "files/SettingsFile.h"
#include "files/SettingsKeys.h"
#include "platform/ConversionError.h"

#include <QFileInfo>
#include <QHash>
#include <algorithm>
#include <array>
#include <optional>

using namespace Qt::StringLiterals;

namespace kirvan {

namespace {

constexpr int zoneCount = 256;
constexpr int deviceCount = 9;
constexpr int lineCount = 8;
constexpr int detectorsPerLine = 60;

// The detector lines of one device's file by the zone each detector names, in line and number
// order. Each file is read once, not once per zone: that is what makes the largest system quick.
using DeviceIndex = QHash<QString, QStringList>;

DeviceIndex indexDevice(IniStore& store, const QString& systemFile, int device)
{
    DeviceIndex index;
    const IniFile detectors(store, detectorFilePath(systemFile, QChar(u'0' + device)));
    for (int line = 1; line <= lineCount; ++line)
        for (int number = 1; number <= detectorsPerLine; ++number) {
            // The probe's name keeps its trailing blank; it is written into the line as it is.
            const QString section = u"И%1%2-%3 "_s.arg(device).arg(line).arg(number, 2, 10, QLatin1Char('0'));
            // A section without a zone reads "-", which only a zone of that name matches.
            const QString zone = detectors.readString(section, detectorfile::keyZone, u"-"_s);
            index[zone].append(section + detectors.readString(section, detectorfile::keyText, {}));
        }
    return index;
}

// The same file however it is spelled; a missing file matches nothing.
bool sameFile(const QString& a, const QString& b)
{
    const QString canonical = QFileInfo(resolvePathCase(a)).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(resolvePathCase(b)).canonicalFilePath();
}

bool hasSystemSection(const QString& text)
{
    bool found = false;
    forEachLine(text, [&found](QStringView line, QStringView) {
        found = found || line.trimmed().toString().toUpper() == u"[СИСТЕМА]";
    });
    return found;
}

} // namespace

std::optional<int> SystemAddition::parseAddress(const QString& typed)
{
    try {
        const int address = toInteger(typed);
        if (address >= lowestAddress && address <= highestAddress)
            return address;
    } catch (const ConversionError&) {}
    return std::nullopt;
}

SystemAddition::SystemAddition(IniStore& store, SettingsFile& settings, QString systemFile, int address)
    : store_(store),
      settings_(settings),
      systemFile_(std::move(systemFile)),
      address_(address),
      nodeText_(u"A"_s + SettingsFile::addressKey(address) + u':' + QFileInfo(systemFile_).completeBaseName().toUpper())
{}

std::optional<QString> SystemAddition::refusal() const
{
    if (auto reason = pathRefusal())
        return reason;
    if (auto reason = contentRefusal())
        return reason;
    if (auto reason = duplicateRefusal())
        return reason;
    return addressRefusal();
}

std::optional<QString> SystemAddition::pathRefusal() const
{
    QStringList foreign;
    for (qsizetype at = 0; at < systemFile_.size(); ++at) {
        // A pair of surrogates is one character.
        const qsizetype length = systemFile_[at].isHighSurrogate() && at + 1 < systemFile_.size() ? 2 : 1;
        const QString character = systemFile_.mid(at, length);
        at += length - 1;
        if (cp1251::encode(character).unmappable > 0 && !foreign.contains(character))
            foreign.append(character);
    }
    if (foreign.isEmpty())
        return std::nullopt;
    return u"Путь к файлу системы \"%1\" содержит символы, которых нет в кодировке Windows-1251: %2. "
           u"Переименуйте файл или папку."_s.arg(systemFile_, u'"' + foreign.join(u"\", \""_s) + u'"');
}

std::optional<QString> SystemAddition::contentRefusal() const
{
    const WorkstationFolder& folder = settings_.folder();
    if (sameFile(systemFile_, folder.complexFile()))
        return u"Файл \"%1\" - файл состава комплекса, а не файл конфигурации системы."_s.arg(systemFile_);
    if (sameFile(systemFile_, folder.settingsFile()))
        return u"Файл \"%1\" - файл настроек программы, а не файл конфигурации системы."_s.arg(systemFile_);
    const RegularFile file = RegularFile::read(resolvePathCase(systemFile_));
    if (file.status != RegularFile::Status::Read)
        return u"Не удаётся прочитать файл \"%1\": %2."_s.arg(systemFile_, file.failure);
    if (file.bytes.contains('\0') || !hasSystemSection(cp1251::decode(file.bytes)))
        return u"Файл \"%1\" не является файлом конфигурации системы: в нём нет раздела [СИСТЕМА]."_s.arg(systemFile_);
    return std::nullopt;
}

std::optional<QString> SystemAddition::addressRefusal() const
{
    const QString key = SettingsFile::addressKey(address_);
    const QString prefix = u"A"_s + key + u':';
    QString holder;
    try {
        for (const QString& system : ComplexFile::systemsOnDisk(settings_.folder().complexFile()))
            if (system.startsWith(prefix) && system != nodeText_)
                holder = system;
    } catch (const std::runtime_error& unreadable) {
        return QString::fromStdString(unreadable.what()); // which addresses are free is unknown
    }
    if (holder.isEmpty())
        return std::nullopt;
    return u"Адрес %1 уже занят системой %2. Сначала выведите её из состава комплекса."_s.arg(key, holder);
}

std::optional<QString> SystemAddition::duplicateRefusal() const
{
    QStringList systems;
    try {
        systems = ComplexFile::systemsOnDisk(settings_.folder().complexFile());
    } catch (const std::runtime_error&) {
        return std::nullopt; // addressRefusal says why the composition cannot be read
    }
    for (int address = lowestAddress; address <= highestAddress; ++address) {
        const QString key = SettingsFile::addressKey(address);
        if (address == address_ || !sameFile(settings_.systemFile(key), systemFile_))
            continue;
        for (const QString& system : systems)
            if (system.startsWith(u"A"_s + key + u':'))
                return u"Файл \"%1\" уже введён в состав комплекса как система %2: одна система не может "
                       u"стоять по двум адресам. Сначала выведите её из состава комплекса."_s.arg(systemFile_, system);
    }
    return std::nullopt;
}

void SystemAddition::write(const std::vector<ComplexFile::Line>& lines)
{
    registerInSettings();
    writeComplexFile(lines);
    writeAddressIntoSystemFile();
}

QString SystemAddition::storedPath() const
{
    const QString folder = QFileInfo(settings_.folder().path()).canonicalFilePath();
    const QString file = QFileInfo(resolvePathCase(systemFile_)).canonicalFilePath();
    if (folder.isEmpty() || !file.startsWith(folder + u'/'))
        return systemFile_;
    for (int address = lowestAddress; address <= highestAddress; ++address) {
        const QString other = settings_.ini().readString(settings::sectionAddress, SettingsFile::addressKey(address), {});
        const bool relative = !other.isEmpty() && !other.startsWith(u'/') && !other.startsWith(u'\\')
                              && !(other.size() > 1 && other.at(1) == u':');
        if (address == address_ || !relative)
            continue;
        const QString inFolder = file.mid(folder.size() + 1);
        return other.contains(u'\\') ? QString(inFolder).replace(u'/', u'\\') : inFolder;
    }
    return systemFile_;
}

void SystemAddition::writeAddressIntoSystemFile()
{
    IniFile(store_, systemFile_)
        .writeString(systemfile::sectionSystem, systemfile::keyAddress, SettingsFile::addressKey(address_));
}

void SystemAddition::registerInSettings()
{
    settings_.ini().writeString(settings::sectionAddress, SettingsFile::addressKey(address_), storedPath());
}

std::vector<ComplexFile::Line> SystemAddition::compositionLines(const Progress& progress) const
{
    const IniFile system(store_, systemFile_);
    std::array<bool, deviceCount> present{};
    present[0] = true; // the console is always there
    for (int device = 1; device < deviceCount; ++device)
        present[static_cast<std::size_t>(device)] = system.readString(u"ПРИБОРЫ", u"ППКП"_s + QString::number(device),
                                                                      u"НЕТ"_s)
                                                    != u"НЕТ";
    std::array<std::optional<DeviceIndex>, deviceCount> devices;

    std::vector<ComplexFile::Line> lines{{0, nodeText_}};
    for (int number = 1; number <= zoneCount; ++number) {
        const QString zone = system.readString(systemfile::sectionZones, QString::number(number), {});
        if (zone.isEmpty())
            continue;
        if (progress)
            progress(zone);
        std::vector<ComplexFile::Line> detectors;
        for (int device = 0; device < deviceCount; ++device) {
            const auto d = static_cast<std::size_t>(device);
            if (!present[d])
                continue;
            if (!devices[d]) {
                devices[d] = indexDevice(store_, systemFile_, device);
                if (progress)
                    progress(zone); // a file read is the longest step: the window answers after each
            }
            for (const QString& detector : devices[d]->value(zone))
                detectors.push_back({2, detector});
        }
        if (detectors.empty() && zone.startsWith(systemfile::sectionZones))
            continue; // an unnamed zone without detectors is left out
        lines.push_back({1, zone});
        lines.insert(lines.end(), detectors.begin(), detectors.end());
    }
    return lines;
}

std::vector<ComplexFile::Line> SystemAddition::appendToComplexFile(const Progress& progress) const
{
    std::vector<ComplexFile::Line> lines = compositionLines(progress);
    writeComplexFile(lines);
    return lines;
}

void SystemAddition::writeComplexFile(const std::vector<ComplexFile::Line>& lines) const
{
    ComplexFile::putSystem(settings_.folder().complexFile(), lines);
}

QString SystemAddition::journalText() const
{
    return u" СИСТЕМА "_s + nodeText_ + u" ВВЕДЕНА В СОСТАВ КОМПЛЕКСА"_s;
}

QStringList SystemAddition::releaseUnfinished(SettingsFile& settings)
{
    QStringList systems;
    try {
        systems = ComplexFile::systemsOnDisk(settings.folder().complexFile());
    } catch (const std::runtime_error&) {
        return {}; // which addresses hold a system is unknown: the load reports the file
    }
    QStringList released;
    for (int address = lowestAddress; address <= highestAddress; ++address) {
        const QString key = SettingsFile::addressKey(address);
        const QString stored = settings.ini().readString(settings::sectionAddress, key, {});
        const QString prefix = u"A"_s + key + u':';
        if (stored.isEmpty() || std::any_of(systems.cbegin(), systems.cend(), [&prefix](const QString& system) {
                return system.startsWith(prefix);
            }))
            continue;
        settings.ini().writeString(settings::sectionAddress, key, u"");
        released.append(u"  АДРЕС %1 ОСВОБОЖДЕН: ВВОД СИСТЕМЫ %2 В СОСТАВ КОМПЛЕКСА НЕ ЗАВЕРШЕН"_s.arg(key, stored));
    }
    return released;
}

} // namespace kirvan
