#include "archive/JournalFilter.h"

#include "files/Cp1251.h"

#include <QStringList>
#include <algorithm>
#include <array>

namespace kirvan {

namespace {

// The period is given in whole minutes, as the fields show it: whatever seconds a bound holds, it
// means its minute, and the last minute is included to its end.
std::int64_t minuteOf(const QDateTime& at, int second)
{
    const QDate d = at.date();
    const QTime t = at.time();
    return JournalDateOrder::moment(d.year(), d.month(), d.day(), t.hour(), t.minute(), second);
}

// Lower case of every Windows-1251 byte: Latin A-Z, Cyrillic А-Я (0xC0-0xDF) and Ё (0xA8).
constexpr std::array<char, 256> lowerCase = [] {
    std::array<char, 256> table{};
    for (int c = 0; c < 256; ++c) {
        int lower = c;
        if ((c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDF))
            lower = c + 0x20;
        else if (c == 0xA8)
            lower = 0xB8;
        table[std::size_t(c)] = char(lower);
    }
    return table;
}();

char folded(char c)
{
    return lowerCase[static_cast<unsigned char>(c)];
}

} // namespace

JournalFilter::Conditions JournalFilter::conditions() const
{
    const JournalKinds admitted = hasOperator() ? JournalKinds(kinds & kindBit(JournalKind::OperatorActions)) : kinds;
    return {from.isValid() ? minuteOf(from, 0) : 0, to.isValid() ? minuteOf(to, 59) : 0, address, admitted};
}

bool JournalFilter::admitsOperator(QByteArrayView line) const
{
    return !hasOperator()
           || journalOperator(parseJournalLine(cp1251::decode(line)).text).compare(operatorName, Qt::CaseInsensitive)
                  == 0;
}

QString JournalFilter::description() const
{
    const QString format = QStringLiteral("dd.MM.yyyy H:mm");
    QStringList parts;
    if (from.isValid() || to.isValid())
        parts << QStringLiteral("период%1%2")
                     .arg(from.isValid() ? QStringLiteral(" с ") + from.toString(format) : QString(),
                          to.isValid() ? QStringLiteral(" по ") + to.toString(format) : QString());
    if (address >= 0)
        parts << QStringLiteral("система %1").arg(address, 2, 10, QChar(u'0'));
    if (kinds != AllJournalKinds) {
        QStringList names;
        for (int kind = 0; kind < JournalKindCount; ++kind)
            if (kinds & kindBit(JournalKind(kind)))
                names << journalKindName(JournalKind(kind));
        parts << QStringLiteral("события: ")
                     + (names.isEmpty() ? QStringLiteral("никакие") : names.join(QStringLiteral(", ")));
    }
    if (hasText())
        parts << QStringLiteral("текст «%1»").arg(text);
    if (hasOperator())
        parts << QStringLiteral("оператор %1").arg(operatorName);
    return parts.isEmpty() ? QStringLiteral("все строки") : parts.join(QStringLiteral("; "));
}

JournalTextMatcher::JournalTextMatcher(const QString& text) : needle_(cp1251::encode(text).bytes)
{
    std::transform(needle_.begin(), needle_.end(), needle_.begin(), folded);
}

bool JournalTextMatcher::matches(QByteArrayView line) const
{
    if (needle_.isEmpty())
        return true;
    const auto equal = [](char a, char b) { return folded(a) == b; };
    return std::search(line.begin(), line.end(), needle_.begin(), needle_.end(), equal) != line.end();
}

} // namespace kirvan
