#include "icons/IconPictures.h"

#include <QPainter>
#include <QRadialGradient>

namespace kirvan::icon {
namespace {

// The bulb: a round glass of radius 3 centred on (8, 7), a neck and a screw base at the bottom.
void drawBulb(QPainter& painter, const QColor& glass)
{
    const QPainterPath bulb = circle({8, 7}, 3).united(polygon({{6, 9}, {10, 9}, {9.5, 11}, {6.5, 11}}));
    fillOutlined(painter, bulb, glass, Grey.outline.darker(130));
    fillOutlined(painter, rectangle(6, 12, 4, 2), Grey);
    painter.fillRect(QRectF(7, 15, 2, 1), Grey.outline);
}

} // namespace

void drawLitBulb(QPainter& painter, const QColor& rays)
{
    QPainterPath lines;
    lines.moveTo(8, 0);
    lines.lineTo(8, 2);
    lines.moveTo(1, 7);
    lines.lineTo(3, 7);
    lines.moveTo(13, 7);
    lines.lineTo(15, 7);
    for (const qreal side : {-1.0, 1.0}) {
        for (const qreal down : {-1.0, 1.0}) {
            lines.moveTo(8 + side * 3.6, 7 + down * 3.6);
            lines.lineTo(8 + side * 5.6, 7 + down * 5.6);
        }
    }
    painter.fillPath(strokeArea(lines, 1.75), rays);
    drawBulb(painter, QColor::fromHsvF(rays.hsvHueF(), 0.35f, 1));
    painter.fillRect(QRectF(6, 5, 1, 1), Qt::white);
}

void drawUnlitBulb(QPainter& painter)
{
    drawBulb(painter, QColor(222, 222, 222));
}

void drawCircularLamp(QPainter& painter, const Tone& lens)
{
    QRadialGradient bezel(QPointF(6, 5), 11);
    bezel.setColorAt(0, QColor(232, 232, 232));
    bezel.setColorAt(1, QColor(120, 120, 120));
    fillOutlined(painter, circle({8, 8}, 7), bezel, QColor(64, 64, 64));

    QRadialGradient glow(QPointF(6.5, 6.5), 6);
    glow.setColorAt(0, lens.fill.lighter(150));
    glow.setColorAt(0.5, lens.fill);
    glow.setColorAt(1, lens.fill.darker(130));
    fillOutlined(painter, circle({8, 8}, 4), glow, lens.outline);
    painter.fillRect(QRectF(6, 6, 1, 1), Qt::white);
}

} // namespace kirvan::icon
