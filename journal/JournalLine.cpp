#include "journal/JournalLine.h"

#include "files/Cp1251.h"
#include "platform/Locale.h"

#include <QDate>
#include <array>

namespace kirvan {

namespace {

// The parts of a line as positions; the same for its text and for its Windows-1251 bytes, one
// byte per character.
struct Layout {
    bool record = false;
    qsizetype dateStart = 0, dateEnd = 0, timeStart = 0, timeEnd = 0, textStart = 0;
};

bool digit(auto c)
{
    return c >= u'0' && c <= u'9';
}

template <typename Text>
Layout layoutOf(const Text& line)
{
    Layout layout;
    const qsizetype size = line.size();
    layout.record = size >= 13 && digit(line[0]) && digit(line[1]) && line[2] == u'/' && line[9] == u'/'
                    && line[12] == u' ';
    qsizetype at = layout.record ? 13 : 0;
    if (at >= size || !digit(line[at]))
        return Layout{layout.record, at, at, at, at, at};
    layout.dateStart = at;
    while (at < size && line[at] != u' ')
        ++at;
    layout.dateEnd = at;
    layout.timeStart = layout.timeEnd = at < size ? at + 1 : at;
    at = layout.timeStart;
    while (at < size && line[at] != u' ')
        ++at;
    layout.timeEnd = at;
    layout.textStart = at < size ? at + 1 : at;
    return layout;
}

// Up to three numbers of a date or a time, whatever separates them.
std::array<int, 3> numbers(QByteArrayView text)
{
    std::array<int, 3> values{-1, -1, -1};
    int index = -1;
    bool inNumber = false;
    for (const char c : text) {
        if (digit(c)) {
            if (!inNumber && ++index >= 3)
                break;
            inNumber = true;
            values[std::size_t(index)] = std::max(values[std::size_t(index)], 0) * 10 + (c - '0');
        } else {
            inNumber = false;
        }
    }
    return values;
}

bool startsWith(QByteArrayView text, const QByteArray& prefix)
{
    return text.startsWith(QByteArrayView(prefix));
}

QByteArray encoded(const char16_t* text)
{
    return cp1251::encode(QString::fromUtf16(text)).bytes;
}

JournalKind kindOf(QByteArrayView text, int code, bool record)
{
    static const QByteArray fire = encoded(u"ПОЖАР:");
    static const QByteArray technology = encoded(u"ТЕХНОЛОГ");
    static const QByteArray fault = encoded(u"ОТКАЗ:");
    static const QByteArray system = encoded(u"СИСТЕМА ");
    static const QByteArray complex = encoded(u"КОМПЛЕКС КИРВАН ВЫКЛЮЧЕН");
    static const QByteArray complexOn = encoded(u"КОМПЛЕКС КИРВАН ВКЛЮЧЕН");
    while (!text.isEmpty() && text.front() == ' ')
        text = text.sliced(1);
    if (!record) {
        if (startsWith(text, system))
            return JournalKind::Operator;
        if (startsWith(text, complex) || startsWith(text, complexOn))
            return JournalKind::StartStop;
        return JournalKind::Other;
    }
    if (startsWith(text, fire))
        return JournalKind::Fire;
    if (startsWith(text, technology))
        return JournalKind::Technology;
    switch (code) {
    case 0: case 9: case 23: case 33: return JournalKind::Link;
    case 1: case 2: case 3: case 5: case 30: case 31: return JournalKind::Operator;
    default: break;
    }
    return startsWith(text, fault) ? JournalKind::Fault : JournalKind::Other;
}

} // namespace

QString journalKindName(JournalKind kind)
{
    switch (kind) {
    case JournalKind::Fire: return QStringLiteral("пожар");
    case JournalKind::Fault: return QStringLiteral("неисправность");
    case JournalKind::Technology: return QStringLiteral("технология");
    case JournalKind::Link: return QStringLiteral("связь");
    case JournalKind::Operator: return QStringLiteral("команды оператора");
    case JournalKind::StartStop: return QStringLiteral("включение/выключение");
    case JournalKind::Other: break;
    }
    return QStringLiteral("прочее");
}

JournalFields parseJournalLine(const QString& line)
{
    const Layout layout = layoutOf(line);
    JournalFields fields;
    if (layout.record) {
        fields.address = line.left(2);
        fields.detector = line.mid(3, 6);
        fields.code = line.mid(10, 2);
    }
    fields.date = line.mid(layout.dateStart, layout.dateEnd - layout.dateStart);
    fields.time = line.mid(layout.timeStart, layout.timeEnd - layout.timeStart);
    fields.text = line.mid(layout.textStart).trimmed();
    return fields;
}

JournalDateOrder::JournalDateOrder(const Locale& locale)
{
    // A date whose day, month and year differ in every digit shows where each one stands.
    const QString sample = locale.shortDate(QDate(2033, 11, 22));
    const qsizetype day = sample.indexOf(QLatin1String("22"));
    const qsizetype month = sample.indexOf(QLatin1String("11"));
    const qsizetype year = sample.indexOf(QLatin1String("33"));
    if (day < 0 || month < 0 || year < 0)
        return;
    day_ = int(day > month) + int(day > year);
    month_ = int(month > day) + int(month > year);
    year_ = int(year > day) + int(year > month);
}

std::int64_t JournalDateOrder::moment(int year, int month, int day, int hour, int minute, int second)
{
    return ((((std::int64_t(year) * 13 + month) * 32 + day) * 24 + hour) * 60 + minute) * 60 + second;
}

std::int64_t JournalDateOrder::moment(QByteArrayView date, QByteArrayView time) const
{
    const auto d = numbers(date);
    const auto t = numbers(time);
    int year = d[std::size_t(year_)];
    const int month = d[std::size_t(month_)];
    const int day = d[std::size_t(day_)];
    if (year < 0 || month < 1 || month > 12 || day < 1 || day > 31 || t[0] < 0 || t[1] < 0)
        return 0;
    if (year < 100)
        year += 2000;
    return moment(year, month, day, t[0], t[1], std::max(t[2], 0));
}

JournalLineInfo inspectJournalLine(QByteArrayView line, const JournalDateOrder& order)
{
    const Layout layout = layoutOf(line);
    JournalLineInfo info;
    int code = -1;
    if (layout.record) {
        info.address = std::int8_t((line[0] - '0') * 10 + (line[1] - '0'));
        if (digit(line[10]) && digit(line[11]))
            code = (line[10] - '0') * 10 + (line[11] - '0');
    }
    info.moment = order.moment(line.sliced(layout.dateStart, layout.dateEnd - layout.dateStart),
                               line.sliced(layout.timeStart, layout.timeEnd - layout.timeStart));
    info.kind = kindOf(line.sliced(layout.textStart), code, layout.record);
    return info;
}

} // namespace kirvan
