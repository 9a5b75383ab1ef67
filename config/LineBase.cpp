#include "config/LineBase.h"

#include "config/IniFile.h"
#include "config/PathCase.h"
#include "config/SettingsFile.h"
#include "platform/Dialogs.h"

#include <QFileInfo>

namespace kirvan {

LineBase::LineBase(const IniFile& systemFile)
{
    base_[0] = -1;
    base_[1] = 7;
    for (int r = 2; r < deviceCount; ++r) {
        const QString panel = systemFile.readString(u"ПРИБОРЫ", QStringLiteral("ППКП%1").arg(r - 1), QStringLiteral("НЕТ"));
        if (panel == u"НЕТ")
            break;
        base_[static_cast<std::size_t>(r)] = *base_[static_cast<std::size_t>(r - 1)] + (panel == u"-4" ? 4 : 8);
    }
}

std::optional<int> LineBase::operator[](int device) const
{
    if (device < 0 || device >= deviceCount)
        return std::nullopt;
    return base_[static_cast<std::size_t>(device)];
}

std::optional<int> LineBase::lineNumber(int device, int line) const
{
    const std::optional<int> base = (*this)[device];
    if (!base)
        return std::nullopt;
    return *base + line;
}

std::optional<DetectorCommand> buildDetectorCommand(const SettingsFile& settings, IniStore& store, Dialogs& dialogs,
                                                    const DetectorAddress& detector, std::uint8_t code, bool switchOff)
{
    const QString path = settings.systemFile(SettingsFile::addressKey(detector.address));
    if (path.isEmpty() || !QFileInfo::exists(resolvePathCase(path))) {
        dialogs.messageBox(QStringLiteral("Предупреждение"), QStringLiteral("Не обнаружен файл конфигурации!"),
                           Dialogs::Icon::Warning);
        return std::nullopt;
    }
    const QFileInfo file(path);
    const QString systemFile = file.suffix().isEmpty() ? path + QStringLiteral(".cnf")
                                                       : path.chopped(file.suffix().size()) + QStringLiteral("cnf");
    const std::optional<int> line = LineBase(IniFile(store, systemFile)).lineNumber(detector.device, detector.line);
    if (!line || *line < 0 || *line > 127 || detector.number < 1 || detector.number > 256) {
        dialogs.messageBox(QStringLiteral("Предупреждение"),
                           QStringLiteral("В файле конфигурации системы нет прибора %1 с линией %2")
                               .arg(detector.device)
                               .arg(detector.line),
                           Dialogs::Icon::Warning);
        return std::nullopt;
    }
    return DetectorCommand{static_cast<std::uint8_t>(detector.address), code,
                           static_cast<std::uint8_t>(*line + (switchOff ? 128 : 0)),
                           static_cast<std::uint8_t>(detector.number - 1)};
}

} // namespace kirvan
