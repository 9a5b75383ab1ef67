#pragma once

#include "platform/Locale.h"

namespace kirvan {

// The regional settings of the computer (LANG / LC_NUMERIC and friends).
class SystemLocale final : public Locale {
public:
    QChar decimalSeparator() const override;
};

} // namespace kirvan
