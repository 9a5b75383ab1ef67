#pragma once

#include "platform/Locale.h"

#include <QLocale>

namespace kirvan {

// The regional settings of the computer (LANG / LC_ALL and friends).
class SystemLocale final : public Locale {
public:
    SystemLocale();
    QChar decimalSeparator() const override;
    QString shortDate(const QDate& date) const override;
    QString longTime(const QTime& time) const override;

private:
    QLocale locale_;
    QString longTimeFormat_;
};

} // namespace kirvan
