#pragma once

#include "platform/Locale.h"

#include <QLocale>

namespace kirvan {

// The regional settings of the computer (LANG / LC_ALL and friends). Without any (the C or POSIX
// locale) dates and times take the Russian form, 09.12.2026 7:04:06.
class SystemLocale final : public Locale {
public:
    SystemLocale();
    explicit SystemLocale(const QLocale& locale);
    QChar decimalSeparator() const override;
    QString shortDate(const QDate& date) const override;
    QString longTime(const QTime& time) const override;

private:
    QLocale locale_;
    QString shortDateFormat_;
    QString longTimeFormat_;
};

} // namespace kirvan
