#include "viewer/JournalPrint.h"

#include "archive/JournalExport.h"

#include <QFontMetrics>
#include <QPagedPaintDevice>
#include <QPainter>

namespace kirvan {

namespace {

// Shares of the page width: date, time, system, detector, code; the text takes the rest.
constexpr double ColumnShares[] = {0.11, 0.08, 0.06, 0.09, 0.04};

void drawRow(QPainter& painter, const QStringList& cells, double top, double width, double height)
{
    double left = 0;
    for (int column = 0; column < cells.size(); ++column) {
        const double share = column < 5 ? ColumnShares[column] * width : width - left;
        painter.drawText(QRectF(left, top, share - 4, height), Qt::AlignLeft | Qt::AlignVCenter,
                         painter.fontMetrics().elidedText(cells[column], Qt::ElideRight, int(share - 4)));
        left += share;
    }
}

} // namespace

ExportEnd printJournal(QPagedPaintDevice& device, const JournalIndex& index, const std::vector<std::uint32_t>& rows,
                       const JournalFilter& filter, ExportProgress& progress)
{
    QPainter painter;
    if (!painter.begin(&device))
        return ExportEnd::Failed;
    QFont font = painter.font();
    font.setPointSizeF(8);
    painter.setFont(font);
    const double width = painter.viewport().width();
    const double pageHeight = painter.viewport().height();
    const double line = painter.fontMetrics().height() * 1.2;
    const int perPage = std::max(1, int(pageHeight / line) - 3);
    const int pages = std::max(1, int((rows.size() + std::size_t(perPage) - 1) / std::size_t(perPage)));
    for (int page = 0; page < pages; ++page) {
        if (progress.cancelled) {
            painter.end();
            return ExportEnd::Cancelled;
        }
        if (page > 0 && !device.newPage())
            return ExportEnd::Failed;
        QFont bold = font;
        bold.setBold(true);
        painter.setFont(bold);
        painter.drawText(QRectF(0, 0, width, line), Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("Журнал событий KirvanMonitorP. Фильтр: %1. Строк: %2. Лист %3 из %4")
                             .arg(filter.description())
                             .arg(rows.size())
                             .arg(page + 1)
                             .arg(pages));
        drawRow(painter, journalColumnNames(), line * 1.5, width, line);
        painter.drawLine(QPointF(0, line * 2.5), QPointF(width, line * 2.5));
        painter.setFont(font);
        const std::size_t first = std::size_t(page) * std::size_t(perPage);
        for (std::size_t i = first; i < std::min(rows.size(), first + std::size_t(perPage)); ++i)
            drawRow(painter, journalColumns(index.line(rows[i])), line * (2.6 + double(i - first)), width, line);
        progress.rowsDone = std::min(rows.size(), first + std::size_t(perPage));
    }
    return painter.end() ? ExportEnd::Done : ExportEnd::Failed;
}

} // namespace kirvan
