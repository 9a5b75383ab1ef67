#include "files/IniValue.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <system_error>

namespace kirvan::inivalue {

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

int hexDigit(QChar c)
{
    if (isDigit(c))
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

std::optional<int> parseHex(QStringView digits)
{
    if (digits.isEmpty())
        return std::nullopt;
    std::uint64_t value = 0;
    for (const QChar c : digits) {
        const int digit = hexDigit(c);
        if (digit < 0)
            return std::nullopt;
        value = value * 16 + static_cast<std::uint64_t>(digit);
        if (value > std::numeric_limits<std::uint32_t>::max())
            return std::nullopt;
    }
    return static_cast<int>(static_cast<std::uint32_t>(value));
}

std::optional<int> parseDecimal(QStringView text)
{
    const bool negative = text.startsWith(u'-');
    const QStringView digits = negative || text.startsWith(u'+') ? text.mid(1) : text;
    if (digits.isEmpty())
        return std::nullopt;
    // Accumulated as a magnitude so that the most negative value, whose magnitude exceeds the
    // largest positive one, is still accepted.
    const std::int64_t limit = negative ? -static_cast<std::int64_t>(std::numeric_limits<int>::min())
                                        : std::numeric_limits<int>::max();
    std::int64_t magnitude = 0;
    for (const QChar c : digits) {
        if (!isDigit(c))
            return std::nullopt;
        magnitude = magnitude * 10 + (c.unicode() - u'0');
        if (magnitude > limit)
            return std::nullopt;
    }
    return static_cast<int>(negative ? -magnitude : magnitude);
}

// The value in the form std::from_chars reads, or an empty text when it is not a decimal
// number: sign, digits with at most one separator, optional exponent.
std::string normalisedReal(QStringView text)
{
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    qsizetype i = 0;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
        if (text[i] == u'-')
            out += '-';
        ++i;
    }
    int mantissaDigits = 0;
    bool separatorSeen = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (isDigit(c)) {
            out += static_cast<char>(c.unicode());
            ++mantissaDigits;
        } else if ((c == u',' || c == u'.') && !separatorSeen) {
            out += '.';
            separatorSeen = true;
        } else {
            break;
        }
    }
    if (mantissaDigits == 0)
        return {};
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        out += 'e';
        ++i;
        if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
            out += static_cast<char>(text[i++].unicode());
        int exponentDigits = 0;
        for (; i < text.size() && isDigit(text[i]); ++i, ++exponentDigits)
            out += static_cast<char>(text[i].unicode());
        if (exponentDigits == 0)
            return {};
    }
    return i == text.size() ? out : std::string();
}

} // namespace

std::optional<int> parseInteger(QStringView text)
{
    if (text.startsWith(u"0x") || text.startsWith(u"0X"))
        return parseHex(text.mid(2));
    return parseDecimal(text);
}

std::optional<double> parseReal(QStringView text)
{
    const std::string number = normalisedReal(text);
    if (number.empty())
        return std::nullopt;
    double value = 0;
    const char* end = number.data() + number.size();
    const auto [stop, error] = std::from_chars(number.data(), end, value);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

QString formatReal(double value, QChar decimalSeparator)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0)
        return QStringLiteral("0");

    // Scientific form rounded to 15 significant digits: "-d.dddddddddddddde+XX".
    char buffer[32];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    (void)error; // the buffer holds the longest such form
    const std::string_view scientific(buffer, static_cast<std::size_t>(end - buffer));
    const std::size_t e = scientific.find('e');
    const bool negative = scientific.front() == '-';
    std::string digits;
    for (const char c : scientific.substr(0, e))
        if (c >= '0' && c <= '9')
            digits += c;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    int exponent = 0;
    const std::string_view exponentText = scientific.substr(e + 1);
    (void)std::from_chars(exponentText.data() + (exponentText.front() == '+'),
                          exponentText.data() + exponentText.size(), exponent);

    QString out;
    if (negative)
        out += u'-';
    const auto digitCount = static_cast<int>(digits.size());
    const auto appendDigits = [&out](std::string_view part) {
        out += QLatin1String(part.data(), static_cast<qsizetype>(part.size()));
    };
    if (exponent < -4 || exponent > 14) {
        appendDigits(std::string_view(digits).substr(0, 1));
        if (digitCount > 1) {
            out += decimalSeparator;
            appendDigits(std::string_view(digits).substr(1));
        }
        out += u'E';
        out += QString::number(exponent);
    } else if (exponent < 0) {
        out += u'0';
        out += decimalSeparator;
        out += QString(-exponent - 1, u'0');
        appendDigits(digits);
    } else {
        const std::string_view all(digits);
        const auto integerDigits = static_cast<std::size_t>(exponent + 1);
        appendDigits(all.substr(0, integerDigits));
        if (digits.size() < integerDigits)
            out += QString(static_cast<qsizetype>(integerDigits - digits.size()), u'0');
        if (digits.size() > integerDigits) {
            out += decimalSeparator;
            appendDigits(all.substr(integerDigits));
        }
    }
    return out;
}

} // namespace kirvan::inivalue
