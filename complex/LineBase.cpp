#include "complex/LineBase.h"

#include "files/IniFile.h"
#include "files/PathCase.h"
#include "files/SettingsFile.h"
#include "platform/Dialogs.h"

#include <QFileInfo>

namespace kirvan {

LineBase::LineBase(const IniFile& systemFile)
{
    devices_[0] = Device{-1, 8};
    for (int device = 1; device < deviceCount; ++device) {
        const QString panel = systemFile.readString(u"ПРИБОРЫ", QStringLiteral("ППКП%1").arg(device),
                                                    QStringLiteral("НЕТ"));
        if (panel == u"НЕТ")
            break;
        const Device& previous = *devices_[static_cast<std::size_t>(device - 1)];
        devices_[static_cast<std::size_t>(device)] = Device{previous.base + previous.lines, panel == u"-4" ? 4 : 8};
    }
}

std::optional<int> LineBase::operator[](int device) const
{
    if (device < 0 || device >= deviceCount || !devices_[static_cast<std::size_t>(device)])
        return std::nullopt;
    return devices_[static_cast<std::size_t>(device)]->base;
}

std::optional<int> LineBase::lineNumber(int device, int line) const
{
    const std::optional<int> base = (*this)[device];
    if (!base || line < 1 || line > devices_[static_cast<std::size_t>(device)]->lines)
        return std::nullopt;
    return *base + line;
}

std::optional<DetectorCommand> buildDetectorCommand(const SettingsFile& settings, IniStore& store, Dialogs& dialogs,
                                                    const DetectorAddress& detector, std::uint8_t code, bool switchOff)
{
    const QString path = settings.systemFile(SettingsFile::addressKey(detector.address));
    if (path.isEmpty() || !QFileInfo::exists(resolvePathCase(path))) {
        dialogs.notice(QStringLiteral("Предупреждение"), QStringLiteral("Не обнаружен файл конфигурации!"),
                       Dialogs::Icon::Warning);
        return std::nullopt;
    }
    const QFileInfo file(path);
    const QString systemFile = file.suffix().isEmpty() ? path + QStringLiteral(".cnf")
                                                       : path.chopped(file.suffix().size()) + QStringLiteral("cnf");
    const std::optional<int> line = LineBase(IniFile(store, systemFile)).lineNumber(detector.device, detector.line);
    if (!line || detector.number < 1 || detector.number > 256) {
        dialogs.notice(QStringLiteral("Предупреждение"),
                       QStringLiteral("Команда не передана: прибора или линии извещателя И%1%2-%3 нет в "
                                      "файле конфигурации системы %4.")
                           .arg(detector.device)
                           .arg(detector.line)
                           .arg(detector.number, 2, 10, QLatin1Char('0'))
                           .arg(SettingsFile::addressKey(detector.address)),
                       Dialogs::Icon::Warning);
        return std::nullopt;
    }
    return DetectorCommand{static_cast<std::uint8_t>(detector.address), code,
                           static_cast<std::uint8_t>(*line + (switchOff ? 128 : 0)),
                           static_cast<std::uint8_t>(detector.number - 1)};
}

} // namespace kirvan
