#include "platform/SystemLocale.h"

#include <QRegularExpression>

namespace kirvan {

namespace {

// Journal texts go to Windows-1251 files, which have no narrow or no-break spaces.
QString withPlainBlanks(QString text)
{
    text.replace(QChar(0x202F), QLatin1Char(' '));
    text.replace(QChar(0x00A0), QLatin1Char(' '));
    return text;
}

} // namespace

SystemLocale::SystemLocale() : SystemLocale(QLocale::system()) {}

SystemLocale::SystemLocale(const QLocale& locale) : locale_(locale)
{
    if (locale_.language() == QLocale::C) {
        // No regional settings (C or POSIX, usual on servers and kiosks): the forms of a
        // Russian workstation, so that one journal never mixes two forms of dates.
        shortDateFormat_ = QStringLiteral("dd.MM.yyyy");
        longTimeFormat_ = QStringLiteral("H:mm:ss");
        return;
    }
    shortDateFormat_ = locale_.dateFormat(QLocale::ShortFormat);
    // The long time form of the regional settings names the time zone; a journal line does not.
    longTimeFormat_ = locale_.timeFormat(QLocale::LongFormat);
    longTimeFormat_.remove(QRegularExpression(QStringLiteral("\\s*\\bt+\\b")));
    longTimeFormat_ = longTimeFormat_.trimmed();
}

QChar SystemLocale::decimalSeparator() const
{
    const QString point = locale_.decimalPoint();
    return point.size() == 1 ? point.front() : QLatin1Char('.');
}

QString SystemLocale::shortDate(const QDate& date) const
{
    return withPlainBlanks(locale_.toString(date, shortDateFormat_));
}

QString SystemLocale::longTime(const QTime& time) const
{
    return withPlainBlanks(locale_.toString(time, longTimeFormat_));
}

} // namespace kirvan
