#include "platform/SystemLocale.h"

#include <QLocale>

namespace kirvan {

QChar SystemLocale::decimalSeparator() const
{
    const QString point = QLocale::system().decimalPoint();
    return point.size() == 1 ? point.front() : QLatin1Char('.');
}

} // namespace kirvan
