#include "journal/JournalExport.h"

namespace kirvan {

namespace {

QString csvField(const QString& text)
{
    if (!text.contains(u';') && !text.contains(u'"') && !text.contains(u'\n') && !text.contains(u'\r'))
        return text;
    QString quoted = text;
    quoted.replace(u'"', QStringLiteral("\"\""));
    return u'"' + quoted + u'"';
}

QByteArray csvRow(const QStringList& fields)
{
    QStringList out;
    for (const QString& field : fields)
        out << csvField(field);
    return out.join(u';').toUtf8() + "\r\n";
}

} // namespace

QStringList journalColumnNames()
{
    return {QStringLiteral("Дата"), QStringLiteral("Время"), QStringLiteral("Система"),
            QStringLiteral("Извещатель"), QStringLiteral("Код"), QStringLiteral("Текст")};
}

QStringList journalColumns(const QString& line)
{
    const JournalFields f = parseJournalLine(line);
    return {f.date, f.time, f.address, f.detector, f.code, f.text};
}

QByteArray journalCsv(const JournalIndex& index, const std::vector<std::uint32_t>& rows, const JournalFilter& filter)
{
    QByteArray csv("\xEF\xBB\xBF");
    csv += csvRow({QStringLiteral("Журнал событий KirvanMonitorP, фильтр: %1; строк: %2")
                       .arg(filter.description())
                       .arg(rows.size())});
    csv += csvRow(journalColumnNames());
    for (const std::uint32_t row : rows)
        csv += csvRow(journalColumns(index.line(row)));
    return csv;
}

} // namespace kirvan
