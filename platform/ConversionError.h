#pragma once

#include <QString>
#include <stdexcept>

namespace kirvan {

// A text that is not a number where a number is expected. It ends the operation in progress and
// is reported to the operator like any other failure of a handler.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const QString& text)
        : std::runtime_error(QStringLiteral("'%1' is not a valid integer value").arg(text).toStdString())
    {}
};

// The text as a decimal integer (blanks around it and a sign allowed); ConversionError otherwise.
inline int toInteger(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    if (!ok)
        throw ConversionError(text);
    return value;
}

} // namespace kirvan
