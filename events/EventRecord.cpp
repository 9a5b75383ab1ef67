#include "events/EventRecord.h"

#include "platform/ConversionError.h"

namespace kirvan::record {

QChar at(const QString& record, int position)
{
    return position >= 1 && position <= record.size() ? record[position - 1] : QLatin1Char(' ');
}

QString chars(const QString& record, int from, int count)
{
    return record.mid(from - 1, count);
}

int eventCode(const QString& record)
{
    return toInteger(chars(record, 11, 2));
}

int pointNumber(const QString& record)
{
    return toInteger(chars(record, 8, 2));
}

} // namespace kirvan::record
