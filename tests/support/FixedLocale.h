#pragma once

#include "platform/Clock.h"
#include "platform/Locale.h"

namespace kirvan::testing {

// Regional settings pinned for a test: Russian by default, as a Russian-language Windows
// computer forms them ("08.12.2023 9:15:02", "3,5").
class FixedLocale final : public Locale {
public:
    explicit FixedLocale(QChar decimalSeparator = QLatin1Char(',')) : separator_(decimalSeparator) {}
    QChar decimalSeparator() const override { return separator_; }
    QString shortDate(const QDate& date) const override { return date.toString(u"dd.MM.yyyy"); }
    QString longTime(const QTime& time) const override { return time.toString(u"H:mm:ss"); }

private:
    QChar separator_;
};

// A clock that stands still until the test moves it.
class FixedClock final : public Clock {
public:
    explicit FixedClock(QDateTime now = QDateTime(QDate(2023, 12, 8), QTime(9, 15, 2))) : now_(now) {}
    QDateTime now() const override { return now_; }
    void set(QDateTime now) { now_ = now; }
    void advanceSeconds(int seconds) { now_ = now_.addSecs(seconds); }

private:
    QDateTime now_;
};

} // namespace kirvan::testing
