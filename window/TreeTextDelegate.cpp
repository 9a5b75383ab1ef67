#include "window/TreeTextDelegate.h"

#include <QApplication>
#include <QFontMetrics>
#include <QStyle>
#include <algorithm>

namespace kirvan {

QString TreeTextDelegate::elided(const QString& text, const QFontMetrics& metrics, int width)
{
    if (metrics.horizontalAdvance(text) <= width)
        return text;
    const qsizetype blank = text.indexOf(u' ');
    if (blank < 0)
        return text;
    const QString head = text.left(blank + 1);
    const QString rest = metrics.elidedText(text.mid(blank + 1), Qt::ElideRight,
                                            std::max(0, width - metrics.horizontalAdvance(head)));
    // Nothing of the name fits: the ellipsis alone still says there is one.
    return head + (rest.isEmpty() ? QStringLiteral("…") : rest);
}

QStyleOptionViewItem TreeTextDelegate::rowOption(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem row(option);
    initStyleOption(&row, index);
    const QWidget* view = row.widget;
    const QStyle* style = view ? view->style() : QApplication::style();
    // The text's room as the style lays the row out, less the margins it keeps on both sides.
    const int room = style->subElementRect(QStyle::SE_ItemViewItemText, &row, view).width()
                     - 2 * (style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
    row.text = elided(row.text, row.fontMetrics, room);
    row.textElideMode = Qt::ElideNone;
    return row;
}

QString TreeTextDelegate::shownText(const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    return rowOption(option, index).text;
}

void TreeTextDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    const QStyleOptionViewItem row = rowOption(option, index);
    const QWidget* view = row.widget;
    (view ? view->style() : QApplication::style())->drawControl(QStyle::CE_ItemViewItem, &row, painter, view);
}

} // namespace kirvan
