#include "window/GridTextDelegate.h"

#include <QApplication>
#include <QPainter>

namespace kirvan {

void GridTextDelegate::paint(QPainter* painter, const QStyleOptionViewItem& base, const QModelIndex& index) const
{
    QStyleOptionViewItem option = base;
    initStyleOption(&option, index);
    const QString text = option.text;
    option.text.clear();
    const QWidget* widget = option.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &option, painter, widget);
    if (text.isEmpty())
        return;

    // Where and in which colour the style puts a cell's text.
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &option, widget).adjusted(margin, 0, -margin, 0);
    QPalette::ColorGroup group = option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(option.state & QStyle::State_Active))
        group = QPalette::Inactive;
    const QStaticText& laid = laidOut(text, option, area.width());
    const QSizeF size = laid.size();
    const QRect placed = QStyle::alignedRect(option.direction, option.displayAlignment, size.toSize(), area);
    painter->save();
    painter->setClipRect(area);
    painter->setFont(option.font);
    painter->setPen(option.palette.color(group, option.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                                      : QPalette::Text));
    painter->drawStaticText(placed.topLeft(), laid);
    painter->restore();
}

const QStaticText& GridTextDelegate::laidOut(const QString& text, const QStyleOptionViewItem& option, int width) const
{
    if (option.font != keptFont_ || kept_.size() >= keptTexts) {
        kept_.clear();
        keptFont_ = option.font;
    }
    const QPair<QString, int> key(text, width);
    auto found = kept_.find(key);
    if (found == kept_.end()) {
        QStaticText laid(option.fontMetrics.elidedText(text, option.textElideMode, width));
        laid.setTextFormat(Qt::PlainText);
        laid.prepare(QTransform(), option.font);
        found = kept_.insert(key, laid);
    }
    return found.value();
}

} // namespace kirvan
