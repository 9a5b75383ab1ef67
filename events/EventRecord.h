#pragma once

#include <QString>

// An event record such as 01/И12-05/07, read at fixed positions counted from 1: characters 1-2
// the system address, 4-9 the DetectorId, 11-12 the event code. Nothing after character 12 is
// read, and a shorter record (possible only from a local caller) reads as blanks where it ends.
namespace kirvan::record {

// Character n (from 1), or a blank past the end.
QChar at(const QString& record, int position);
// Characters from..from+count-1 (from 1), as far as the record goes.
QString chars(const QString& record, int from, int count);

inline QString address(const QString& record)
{
    return chars(record, 1, 2);
}
inline QString detectorId(const QString& record)
{
    return chars(record, 4, 6);
}
// The form of the identifier: "И" detector or device point, Latin "B" relay unit, "Т" remote unit.
inline QChar form(const QString& record)
{
    return at(record, 4);
}

// Characters 11-12 as a decimal integer; ConversionError when they are none.
int eventCode(const QString& record);
// Characters 8-9 as a decimal integer (the number of a detector or point); ConversionError.
int pointNumber(const QString& record);

inline constexpr char16_t detectorForm = u'И';
inline constexpr char16_t relayUnitForm = u'B';
inline constexpr char16_t remoteUnitForm = u'Т';

} // namespace kirvan::record
