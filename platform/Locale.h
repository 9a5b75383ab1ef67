#pragma once

#include <QChar>
#include <QDateTime>
#include <QString>

namespace kirvan {

// The workstation's regional settings, as far as the program's texts and files depend on them.
class Locale {
public:
    virtual ~Locale() = default;
    // Separator written into real values of INI files (a comma on Russian-language systems).
    virtual QChar decimalSeparator() const = 0;
    // The short date form ("08.12.2023") and the long time form ("9:15:02").
    virtual QString shortDate(const QDate& date) const = 0;
    virtual QString longTime(const QTime& time) const = 0;

    // Date and time as journal lines carry them: short date, one blank, long time.
    QString dateTime(const QDateTime& moment) const
    {
        return shortDate(moment.date()) + QLatin1Char(' ') + longTime(moment.time());
    }
};

} // namespace kirvan
