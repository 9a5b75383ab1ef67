#include "icons/ApplicationIcon.h"

#include "icons/IconShapes.h"

#include <QPainter>
#include <QPixmap>
#include <QRadialGradient>

namespace kirvan {

namespace {

using namespace icon;

// A flame standing on (8, bottom), `height` units high.
QPainterPath flame(qreal bottom, qreal height, qreal halfWidth)
{
    const qreal top = bottom - height;
    QPainterPath path;
    path.moveTo(8, top);
    path.cubicTo(8 + halfWidth * 0.9, top + height * 0.35, 8 + halfWidth * 1.1, top + height * 0.6, 8 + halfWidth,
                 bottom - height * 0.2);
    path.quadTo(8 + halfWidth * 0.7, bottom, 8, bottom);
    path.quadTo(8 - halfWidth * 0.7, bottom, 8 - halfWidth, bottom - height * 0.2);
    path.cubicTo(8 - halfWidth * 1.1, top + height * 0.55, 8 - halfWidth * 0.3, top + height * 0.45, 8, top);
    path.closeSubpath();
    return path;
}

} // namespace

void drawApplicationIcon(QPainter& painter)
{
    // The stand, then the casing with its screen: the monitor of the guard room.
    fillOutlined(painter, polygon({{6, 12}, {10, 12}, {11, 14}, {5, 14}}), Grey);
    fillOutlined(painter, rectangle(3, 14, 10, 1), Grey);
    fillOutlined(painter, rectangle(1, 2, 14, 10), verticalShade(2, 12, QColor(110, 110, 110), QColor(60, 60, 60)),
                 QColor(32, 32, 32));
    painter.fillRect(QRectF(2, 3, 12, 8), verticalShade(3, 11, QColor(20, 40, 110), QColor(5, 15, 60)));
    // On the screen the fire: red outside, yellow at its heart, glowing over the dark screen.
    QRadialGradient glow(QPointF(8, 8), 4.5);
    glow.setColorAt(0, QColor(255, 120, 0, 150));
    glow.setColorAt(1, QColor(255, 120, 0, 0));
    painter.fillRect(QRectF(2, 3, 12, 8), glow);
    painter.fillPath(flame(10.5, 7, 2.8), verticalShade(3.5, 10.5, Red.fill.lighter(120), Red.fill.darker(120)));
    painter.fillPath(flame(10.5, 4, 1.5), verticalShade(6.5, 10.5, QColor(255, 240, 120), Yellow.fill));
}

QImage applicationIconImage(int pixelSize)
{
    return icon::drawnOnGrid(pixelSize, drawApplicationIcon);
}

QIcon applicationIcon()
{
    QIcon icon;
    for (const int pixels : ApplicationIconSizes)
        icon.addPixmap(QPixmap::fromImage(applicationIconImage(pixels)));
    return icon;
}

} // namespace kirvan
