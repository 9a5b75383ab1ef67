#include "icons/IconPictures.h"

#include <QPainter>

namespace kirvan::icon {
namespace {

const QColor Writing(150, 170, 200);

// A page from (3, 1) to (13, 15) with its upper right corner folded.
void drawPage(QPainter& painter)
{
    fillOutlined(painter, polygon({{3, 1}, {10, 1}, {13, 4}, {13, 15}, {3, 15}}), Paper);
    fillOutlined(painter, polygon({{10, 1}, {10, 4}, {13, 4}}), QColor(214, 214, 214), Paper.outline);
}

} // namespace

void drawNumberSheet(QPainter& painter)
{
    drawPage(painter);
    QPainterPath hash = rectangle(6, 5, 1, 8);
    hash.addRect(9, 5, 1, 8);
    hash.addRect(5, 7, 6, 1);
    hash.addRect(5, 10, 6, 1);
    painter.fillPath(hash.simplified(), Ink);
}

void drawPrinter(QPainter& painter)
{
    fillOutlined(painter, rectangle(4, 1, 8, 6), Paper);
    painter.fillRect(QRectF(5, 3, 6, 1), Writing);
    fillOutlined(painter, rectangle(1, 6, 14, 6), verticalShade(6, 12, QColor(224, 224, 224), QColor(150, 150, 150)),
                 QColor(64, 64, 64));
    painter.fillRect(QRectF(11, 7, 2, 1), Green.fill);
    fillOutlined(painter, rectangle(4, 10, 8, 5), Paper);
    painter.fillRect(QRectF(5, 12, 6, 1), Writing);
}

void drawNotepadWithPencil(QPainter& painter)
{
    fillOutlined(painter, rectangle(2, 2, 9, 13), Paper);
    for (int x = 3; x <= 9; x += 2)
        painter.fillRect(QRectF(x, 1, 1, 3), Ink);
    for (int y = 6; y <= 12; y += 2)
        painter.fillRect(QRectF(4, y, 5, 1), Writing);

    // The pencil along the diagonal, point down to the left, drawn lying and then turned.
    painter.save();
    painter.translate(10.5, 8.5);
    painter.rotate(-45);
    fillOutlined(painter, rectangle(-1, -1.5, 7, 3), Yellow);
    fillOutlined(painter, polygon({{-1, -1.5}, {-1, 1.5}, {-4, 0}}), QColor(240, 206, 160), Yellow.outline);
    painter.fillPath(polygon({{-3, -0.5}, {-3, 0.5}, {-4, 0}}), Ink);
    painter.restore();
}

void drawCardBox(QPainter& painter)
{
    fillOutlined(painter, rectangle(5, 2, 9, 7), Paper);
    fillOutlined(painter, rectangle(2, 4, 9, 6), Paper);
    painter.fillRect(QRectF(3, 6, 6, 1), Writing);
    const Tone wood{QColor(214, 160, 90), QColor(110, 66, 16)};
    fillOutlined(painter, rectangle(1, 8, 14, 6), wood);
    fillOutlined(painter, rectangle(6, 10, 4, 2), Paper.fill, wood.outline);
}

} // namespace kirvan::icon
