#pragma once

#include <QChar>
#include <QString>
#include <optional>

namespace kirvan {

// The device that character 5 of an "И" record names: "ПУ-П" for 0, "ППКП n" for 1 to 8,
// "БРВУ 1" to "БРВУ 6" for 9 and A to E; nothing for any other character.
std::optional<QString> deviceName(QChar deviceChar);

inline bool isFireControlConsole(QChar deviceChar)
{
    return deviceChar == QLatin1Char('0');
}

} // namespace kirvan
