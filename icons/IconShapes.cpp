#include "icons/IconShapes.h"

#include <QPainter>
#include <QPainterPathStroker>
#include <QPen>
#include <QPolygonF>

namespace kirvan::icon {

QImage drawnOnGrid(int pixelSize, const std::function<void(QPainter&)>& drawing)
{
    QImage image(pixelSize, pixelSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.scale(pixelSize / 16.0, pixelSize / 16.0);
    drawing(painter);
    return image;
}

QLinearGradient verticalShade(qreal top, qreal bottom, const QColor& upper, const QColor& lower)
{
    QLinearGradient shade(0, top, 0, bottom);
    shade.setColorAt(0, upper);
    shade.setColorAt(1, lower);
    return shade;
}

void fillOutlined(QPainter& painter, const QPainterPath& shape, const QBrush& fill, const QColor& outline)
{
    // A pen two units wide centred on the edge: its outer half is the border, its inner half is
    // covered by the fill.
    painter.strokePath(shape, QPen(outline, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter.fillPath(shape, fill);
}

void fillOutlined(QPainter& painter, const QPainterPath& shape, const Tone& tone)
{
    fillOutlined(painter, shape, tone.fill, tone.outline);
}

namespace {

// A path to which shapes added later join rather than cut holes where they overlap.
QPainterPath joiningPath()
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    return path;
}

} // namespace

QPainterPath rectangle(qreal x, qreal y, qreal width, qreal height)
{
    QPainterPath path = joiningPath();
    path.addRect(x, y, width, height);
    return path;
}

QPainterPath circle(QPointF centre, qreal radius)
{
    QPainterPath path = joiningPath();
    path.addEllipse(centre, radius, radius);
    return path;
}

QPainterPath polygon(std::initializer_list<QPointF> corners)
{
    QPainterPath path = joiningPath();
    path.addPolygon(QPolygonF(QList<QPointF>(corners)));
    path.closeSubpath();
    return path;
}

QPainterPath strokeArea(const QPainterPath& line, qreal width, Qt::PenCapStyle cap)
{
    QPainterPathStroker stroker;
    stroker.setWidth(width);
    stroker.setCapStyle(cap);
    stroker.setJoinStyle(Qt::MiterJoin);
    return stroker.createStroke(line).simplified();
}

QPainterPath diagonalCross(QPointF from, QPointF to)
{
    QPainterPath bars;
    bars.moveTo(from);
    bars.lineTo(to);
    bars.moveTo(to.x(), from.y());
    bars.lineTo(from.x(), to.y());
    return bars;
}

QPainterPath exclamationMark(qreal left, qreal top, qreal bottom)
{
    QPainterPath mark = rectangle(left, top, 2, bottom - top - 3);
    mark.addRect(left, bottom - 2, 2, 2);
    return mark;
}

void crossOut(QPainter& painter)
{
    painter.fillPath(strokeArea(diagonalCross({2, 2}, {14, 14}), 1.75), Ink);
}

} // namespace kirvan::icon
