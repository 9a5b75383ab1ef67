#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <cstdint>

namespace kirvan {

class Locale;

// What a line of the text log reports, for finding lines by kind.
// OperatorActions: who signed in and out, wrong passwords, refused commands, the audit lines.
enum class JournalKind : std::uint8_t { Fire, Fault, Technology, Link, Operator, StartStop, OperatorActions, Other };
inline constexpr int JournalKindCount = 8;
using JournalKinds = std::uint16_t; // a set: bit 1 << kind
inline constexpr JournalKinds AllJournalKinds = (1 << JournalKindCount) - 1;
constexpr JournalKinds kindBit(JournalKind kind)
{
    return JournalKinds(1u << unsigned(kind));
}
// The kind's name as the viewer shows it ("пожар", "неисправность" …).
QString journalKindName(JournalKind kind);

// A line of the text log split into its parts. The date may be of any short date form, the time
// 24-hour or 12-hour ("4:27:05 PM"). Event lines begin with the event record
// ("01/И12-05/07 08.12.2023 9:15:02 ПОЖАР: СКЛАД Цех 1"); the workstation's own lines begin with
// the date ("08.12.2023 9:15:02  КОМПЛЕКС КИРВАН ВКЛЮЧЕН"). A line of neither form keeps all of
// its text in `text`, and so does a line whose date or time cannot be read.
struct JournalFields {
    QString date;
    QString time;
    QString address; // the system address of an event, "01"
    QString detector; // "И12-05", "B31/01"
    QString code; // "07"
    QString text;
};
JournalFields parseJournalLine(const QString& line);
// The operator a line of the operators' actions names ("Иванов" of "ДЕЙСТВИЕ ОПЕРАТОРА Иванов:
// Сброс тревоги", of "ВХОД ОПЕРАТОРА: Иванов, уровень 2" …), from the line's text part; empty
// for any other line and for actions of nobody signed in.
QString journalOperator(QStringView text);

// The order of day, month and year in the short date form of the regional settings, found by
// formatting a known date, so that a line's moment is read without parsing each date as text.
class JournalDateOrder {
public:
    explicit JournalDateOrder(const Locale& locale);
    // Day, month and year positions among the date's numbers (0, 1, 2); the default: day first.
    // `twelveHour`: the settings' clock shows a day half, so their order holds for 12-hour lines too.
    JournalDateOrder(int day, int month, int year, bool twelveHour = false)
        : day_(day), month_(month), year_(year), twelveHourLocale_(twelveHour)
    {}

    // A moment as a number that orders as time does (not seconds), 0 when the text is no date.
    // A date beginning with a full year is read year first; a 12-hour time ("4:27:05 PM") where
    // the regional settings keep 24 hours marks a date month first.
    std::int64_t moment(QByteArrayView date, QByteArrayView time) const;
    static std::int64_t moment(int year, int month, int day, int hour, int minute, int second);
    // The order as a short text: moments read under different orders differ.
    QByteArray signature() const;

private:
    int day_ = 0;
    int month_ = 1;
    int year_ = 2;
    bool twelveHourLocale_ = false;
};

// What the index keeps of a line, read from its Windows-1251 bytes (without CR LF).
struct JournalLineInfo {
    std::int64_t moment = 0; // 0: the line carries no date
    std::int8_t address = -1; // the system of an event line, 0 to 99; -1: none
    JournalKind kind = JournalKind::Other;
};
JournalLineInfo inspectJournalLine(QByteArrayView line, const JournalDateOrder& order);

} // namespace kirvan
