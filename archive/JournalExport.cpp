#include "archive/JournalExport.h"

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
    return {QStringLiteral("Дата"),       QStringLiteral("Время"), QStringLiteral("Система"),
            QStringLiteral("Извещатель"), QStringLiteral("Код"),   QStringLiteral("Текст")};
}

QStringList journalColumns(const QString& line)
{
    const JournalFields f = parseJournalLine(line);
    return {f.date, f.time, f.address, f.detector, f.code, f.text};
}

ExportEnd writeJournalCsv(QIODevice& out, const JournalIndex& index, const std::vector<std::uint32_t>& rows,
                          const JournalFilter& filter, ExportProgress& progress)
{
    // Written in pieces, so a cancel takes effect soon and the memory stays small.
    constexpr std::size_t rowsAPiece = 2000;
    QByteArray piece("\xEF\xBB\xBF");
    piece += csvRow(
        {QStringLiteral("Журнал событий KirvanMonitorP, фильтр: %1; строк: %2").arg(filter.description()).arg(rows.size())});
    piece += csvRow(journalColumnNames());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        piece += csvRow(journalColumns(index.line(rows[i])));
        if ((i + 1) % rowsAPiece != 0 && i + 1 != rows.size())
            continue;
        if (progress.cancelled)
            return ExportEnd::Cancelled;
        if (out.write(piece) != piece.size())
            return ExportEnd::Failed;
        piece.clear();
        progress.rowsDone = i + 1;
    }
    return piece.isEmpty() || out.write(piece) == piece.size() ? ExportEnd::Done : ExportEnd::Failed;
}

} // namespace kirvan
