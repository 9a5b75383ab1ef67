#include "journal/JournalLine.h"

#include "files/Cp1251.h"
#include "platform/Locale.h"

#include <QDate>
#include <array>
#include <optional>

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

// The length of a 12-hour day-half mark ("PM", "a.m.") at `at` that ends the field, 0 if none.
template <typename Text> qsizetype dayHalfLength(const Text& line, qsizetype at)
{
    const qsizetype size = line.size();
    const auto letter = [&](qsizetype i, char16_t upper) {
        return i < size && (line[i] == upper || line[i] == char16_t(upper + 0x20));
    };
    if (!letter(at, u'A') && !letter(at, u'P'))
        return 0;
    qsizetype end = at + 1;
    if (end < size && line[end] == u'.')
        ++end;
    if (!letter(end, u'M'))
        return 0;
    ++end;
    if (end < size && line[end] == u'.')
        ++end;
    return end == size || line[end] == u' ' ? end - at : 0;
}

template <typename Text> Layout layoutOf(const Text& line)
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
    // A 12-hour time carries its day half after a blank: "4:27:05 PM".
    if (at < size && dayHalfLength(line, at + 1) > 0)
        at += 1 + dayHalfLength(line, at + 1);
    layout.timeEnd = at;
    layout.textStart = at < size ? at + 1 : at;
    return layout;
}

// The numbers of a date or a time, only when the text is nothing but numbers of at most
// `widest` digits and the marks between them ("08.12.2023", "2023-12-08", "9:05:02").
struct Numbers {
    std::array<int, 3> values{};
    std::array<int, 3> widths{};
    int count = 0;
};

bool separator(char c)
{
    return c == '.' || c == '/' || c == '-' || c == ':' || c == ',';
}

// Two digits at `at` as a number, -1 when they are none.
int twoDigits(QByteArrayView text, qsizetype at)
{
    return digit(text[at]) && digit(text[at + 1]) ? (text[at] - '0') * 10 + (text[at + 1] - '0') : -1;
}

// The forms the workstation writes, "08.12.2023" and "9:15:02", read at a glance: ten years of a
// log are ten million of them.
std::optional<Numbers> usualNumbers(QByteArrayView text, int widest)
{
    if (widest >= 4 && text.size() == 10 && separator(text[2]) && separator(text[5])) {
        const int first = twoDigits(text, 0), second = twoDigits(text, 3);
        const int century = twoDigits(text, 6), year = twoDigits(text, 8);
        if (first < 0 || second < 0 || century < 0 || year < 0)
            return std::nullopt;
        return Numbers{{first, second, century * 100 + year}, {2, 2, 4}, 3};
    }
    const qsizetype hour = text.size() - 6;
    if ((hour == 1 || hour == 2) && separator(text[hour]) && separator(text[hour + 3])) {
        const int hours = hour == 1 ? (digit(text[0]) ? text[0] - '0' : -1) : twoDigits(text, 0);
        const int minutes = twoDigits(text, hour + 1), seconds = twoDigits(text, hour + 4);
        if (hours < 0 || minutes < 0 || seconds < 0)
            return std::nullopt;
        return Numbers{{hours, minutes, seconds}, {int(hour), 2, 2}, 3};
    }
    return std::nullopt;
}

std::optional<Numbers> numbersOf(QByteArrayView text, int widest)
{
    if (const auto usual = usualNumbers(text, widest))
        return usual;
    Numbers n;
    bool inNumber = false;
    for (const char c : text) {
        if (digit(c)) {
            if (!inNumber && n.count++ == 3)
                return std::nullopt;
            inNumber = true;
            const std::size_t i = std::size_t(n.count - 1);
            if (++n.widths[i] > widest)
                return std::nullopt;
            n.values[i] = n.values[i] * 10 + (c - '0');
        } else if (separator(c)) {
            inNumber = false;
        } else {
            return std::nullopt;
        }
    }
    return n;
}

// Hours, minutes and seconds of a 24-hour or a 12-hour time; nullopt when it is none.
std::optional<std::array<int, 3>> clockOf(QByteArrayView time)
{
    bool pm = false;
    bool twelve = false;
    const qsizetype blank = time.indexOf(' ');
    if (blank >= 0) {
        if (dayHalfLength(time, blank + 1) != time.size() - blank - 1)
            return std::nullopt;
        twelve = true;
        pm = time[blank + 1] == 'P' || time[blank + 1] == 'p';
        time = time.first(blank);
    }
    const auto n = numbersOf(time, 2);
    if (!n || n->count < 2)
        return std::nullopt;
    int hour = n->values[0];
    if (twelve) {
        if (hour < 1 || hour > 12)
            return std::nullopt;
        hour = hour % 12 + (pm ? 12 : 0);
    }
    if (hour > 23 || n->values[1] > 59 || n->values[2] > 59)
        return std::nullopt;
    return std::array<int, 3>{hour, n->values[1], n->values[2]};
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
    static const QByteArray operatorActions[] = {encoded(u"ВХОД ОПЕРАТОРА:"), encoded(u"ВЫХОД ОПЕРАТОРА:"),
                                                 encoded(u"НЕВЕРНЫЙ ПАРОЛЬ:"), encoded(u"ДОСТУП ЗАПРЕЩЕН:"),
                                                 encoded(u"ДЕЙСТВИЕ ОПЕРАТОРА")};
    while (!text.isEmpty() && text.front() == ' ')
        text = text.sliced(1);
    if (!record) {
        if (startsWith(text, system))
            return JournalKind::Operator;
        for (const QByteArray& action : operatorActions)
            if (startsWith(text, action))
                return JournalKind::OperatorActions;
        if (startsWith(text, complex) || startsWith(text, complexOn))
            return JournalKind::StartStop;
        return JournalKind::Other;
    }
    if (startsWith(text, fire))
        return JournalKind::Fire;
    if (startsWith(text, technology))
        return JournalKind::Technology;
    switch (code) {
    case 0:
    case 9:
    case 23:
    case 33:
        return JournalKind::Link;
    case 1:
    case 2:
    case 3:
    case 5:
    case 30:
    case 31:
        return JournalKind::Operator;
    default:
        break;
    }
    return startsWith(text, fault) ? JournalKind::Fault : JournalKind::Other;
}

} // namespace

QString journalKindName(JournalKind kind)
{
    switch (kind) {
    case JournalKind::Fire:
        return QStringLiteral("пожар");
    case JournalKind::Fault:
        return QStringLiteral("неисправность");
    case JournalKind::Technology:
        return QStringLiteral("технология");
    case JournalKind::Link:
        return QStringLiteral("связь");
    case JournalKind::Operator:
        return QStringLiteral("команды оператора");
    case JournalKind::StartStop:
        return QStringLiteral("включение/выключение");
    case JournalKind::OperatorActions:
        return QStringLiteral("действия операторов");
    case JournalKind::Other:
        break;
    }
    return QStringLiteral("прочее");
}

JournalFields parseJournalLine(const QString& line)
{
    const Layout layout = layoutOf(line);
    JournalFields fields;
    const auto bytes = [&](qsizetype from, qsizetype to) { return line.mid(from, to - from).toLatin1(); };
    const auto date = numbersOf(bytes(layout.dateStart, layout.dateEnd), 4);
    if (!date || date->count != 3 || !clockOf(bytes(layout.timeStart, layout.timeEnd))) {
        fields.text = line.trimmed();
        return fields;
    }
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

QString journalOperator(QStringView text)
{
    // Names hold no ":" (the user file's separator), so the first one after a name ends it.
    static const QString action = QStringLiteral("ДЕЙСТВИЕ ОПЕРАТОРА ");
    if (text.startsWith(action)) {
        const QStringView rest = text.sliced(action.size());
        const qsizetype colon = rest.indexOf(u':');
        return colon > 0 ? rest.first(colon).toString() : QString();
    }
    static const QString signIn = QStringLiteral("ВХОД ОПЕРАТОРА: ");
    if (text.startsWith(signIn)) {
        const QStringView rest = text.sliced(signIn.size());
        const qsizetype level = rest.lastIndexOf(QStringLiteral(", уровень "));
        return (level >= 0 ? rest.first(level) : rest).toString();
    }
    static const QString signOut = QStringLiteral("ВЫХОД ОПЕРАТОРА: ");
    static const QString timedOut = QStringLiteral(" (по времени)");
    if (text.startsWith(signOut)) {
        QStringView rest = text.sliced(signOut.size());
        if (rest.endsWith(timedOut))
            rest.chop(timedOut.size());
        return rest.toString();
    }
    static const QString wrongPassword = QStringLiteral("НЕВЕРНЫЙ ПАРОЛЬ: ");
    if (text.startsWith(wrongPassword))
        return text.sliced(wrongPassword.size()).toString();
    return {};
}

JournalDateOrder::JournalDateOrder(const Locale& locale)
{
    twelveHourLocale_ = !locale.longTime(QTime(15, 0)).contains(QLatin1String("15"));
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

QByteArray JournalDateOrder::signature() const
{
    return QByteArray::number(day_) + QByteArray::number(month_) + QByteArray::number(year_)
           + (twelveHourLocale_ ? "h" : "");
}

std::int64_t JournalDateOrder::moment(QByteArrayView date, QByteArrayView time) const
{
    const auto d = numbersOf(date, 4);
    const auto t = clockOf(time);
    if (!d || d->count != 3 || !t)
        return 0;
    // A year written in full first is read year, month, day whatever the regional settings say.
    const bool yearFirst = d->widths[0] > 2;
    // A day-half mark on a workstation whose clock runs to 24 hours comes from a log written in
    // the US form, month first, whatever the regional settings here say.
    const bool usForm = !yearFirst && !twelveHourLocale_ && time.contains(' ');
    int year = d->values[std::size_t(yearFirst ? 0 : usForm ? 2 : year_)];
    const int month = d->values[std::size_t(yearFirst ? 1 : usForm ? 0 : month_)];
    const int day = d->values[std::size_t(yearFirst ? 2 : usForm ? 1 : day_)];
    if (year < 100)
        year += 2000;
    if (!QDate::isValid(year, month, day))
        return 0;
    return moment(year, month, day, (*t)[0], (*t)[1], (*t)[2]);
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
    if (info.moment == 0 && layout.dateEnd > layout.dateStart) {
        // A line whose date cannot be read is no event of a known kind: it is shown as it is.
        info.address = -1;
        return info;
    }
    info.kind = kindOf(line.sliced(layout.textStart), code, layout.record);
    return info;
}

} // namespace kirvan
