#pragma once

#include <QChar>
#include <QString>
#include <QStringView>
#include <optional>

// Conversions between the text of an INI value and the numbers the workstation keeps in it.
// Files come from Windows programs, so the forms are the ones those programs write and accept.
namespace kirvan::inivalue {

// A decimal integer with an optional sign, or "0x" / "0X" and hexadecimal digits taken as a
// 32-bit pattern (so "0xFFFFFFFF" is -1). Anything else, including a value that does not fit
// in 32 bits: nothing.
std::optional<int> parseInteger(QStringView text);

// A decimal number with either "," or "." as the separator, whatever the regional settings
// (files written on Russian-language computers say "3,5"), and an optional exponent
// ("1E20", "1,5E-3"). Empty, unreadable or out of range: nothing.
std::optional<double> parseReal(QStringView text);

// The general form with up to 15 significant digits: fixed notation for decimal exponents -4 to
// 14, otherwise "1E20" / "1,5E-7" (capital E, no "+", no leading zeros in the exponent).
QString formatReal(double value, QChar decimalSeparator);

} // namespace kirvan::inivalue
