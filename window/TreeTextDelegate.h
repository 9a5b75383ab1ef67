#pragma once

#include <QStyledItemDelegate>

class QFontMetrics;

namespace kirvan {

// The composition tree's rows. A row wider than the panel loses the end of its name, never of its
// number: "И01-05 Склад гот…", not "И01-0…", which would make И01-05 and И01-06 look the same.
class TreeTextDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // `text` within `width`: its first word (the detector's number, the system's "A01:СКЛАД")
    // whole, the rest cut as far as it must be.
    static QString elided(const QString& text, const QFontMetrics& metrics, int width);
    // The text the row of `index` shows with `option` (its place and font in the view).
    QString shownText(const QStyleOptionViewItem& option, const QModelIndex& index) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // The option as the style paints it, its text already cut.
    QStyleOptionViewItem rowOption(const QStyleOptionViewItem& option, const QModelIndex& index) const;
};

} // namespace kirvan
