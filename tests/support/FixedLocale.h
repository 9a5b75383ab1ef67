#pragma once

#include "platform/Locale.h"

namespace kirvan::testing {

// Regional settings pinned for a test; Russian by default.
class FixedLocale final : public Locale {
public:
    explicit FixedLocale(QChar decimalSeparator = QLatin1Char(',')) : separator_(decimalSeparator) {}
    QChar decimalSeparator() const override { return separator_; }

private:
    QChar separator_;
};

} // namespace kirvan::testing
