#pragma once

#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>

namespace kirvan {

// Paints a grid's cells as the style does, but their texts from laid-out texts kept between
// repaints. Under a flood the event grid is repainted ten times a second, and laying out every
// cell's text anew (shaping, measuring, eliding) was most of what the workstation spent on it;
// a row's texts never change once it is written, so the kept layouts serve again and again.
class GridTextDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // The text as it fits into width (elided as the style would), laid out in font.
    const QStaticText& laidOut(const QString& text, const QStyleOptionViewItem& option, int width) const;

    // Enough for the cells of a few screens; emptied when full or when the font changes.
    static constexpr qsizetype keptTexts = 4096;
    mutable QHash<QPair<QString, int>, QStaticText> kept_;
    mutable QFont keptFont_;
};

} // namespace kirvan
