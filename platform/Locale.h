#pragma once

#include <QChar>

namespace kirvan {

// The workstation's regional settings, as far as the program's texts and files depend on them.
class Locale {
public:
    virtual ~Locale() = default;
    // Separator written into real values of INI files (a comma on Russian-language systems).
    virtual QChar decimalSeparator() const = 0;
};

} // namespace kirvan
