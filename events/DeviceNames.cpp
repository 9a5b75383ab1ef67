#include "events/DeviceNames.h"

namespace kirvan {

std::optional<QString> deviceName(QChar deviceChar)
{
    const char16_t c = deviceChar.unicode();
    if (c == u'0')
        return QStringLiteral("ПУ-П");
    if (c >= u'1' && c <= u'8')
        return QStringLiteral("ППКП ") + deviceChar;
    if (c == u'9')
        return QStringLiteral("БРВУ 1");
    if (c >= u'A' && c <= u'E')
        return QStringLiteral("БРВУ ") + QString::number(c - u'A' + 2);
    return std::nullopt;
}

} // namespace kirvan
