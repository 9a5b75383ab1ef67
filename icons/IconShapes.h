#pragma once

#include <QBrush>
#include <QColor>
#include <QLinearGradient>
#include <QImage>
#include <QPainterPath>
#include <functional>
#include <initializer_list>

class QPainter;

// Building blocks of the state pictures. Every picture is drawn on a grid of 16 × 16 units, one
// unit being one pixel of the 16-pixel picture: edges on whole units and one-unit lines centred on
// half units fall on pixel boundaries, so the small picture is crisp and so is every multiple of it.
namespace kirvan::icon {

// A fill colour and the darker colour of the border that keeps the shape visible on white.
struct Tone {
    QColor fill;
    QColor outline;
};

inline const Tone Yellow{QColor(255, 204, 0), QColor(150, 100, 0)};
inline const Tone Red{QColor(226, 24, 24), QColor(120, 0, 0)};
inline const Tone Blue{QColor(30, 100, 230), QColor(0, 40, 130)};
inline const Tone Green{QColor(24, 190, 40), QColor(0, 90, 0)};
inline const Tone Grey{QColor(178, 178, 178), QColor(92, 92, 92)};
inline const Tone Paper{QColor(255, 255, 255), QColor(96, 96, 96)};
inline const QColor Ink(24, 24, 24);

// A transparent square image `pixelSize` pixels wide with `drawing` on its 16 × 16 units, drawn
// with antialiasing and without a pen.
QImage drawnOnGrid(int pixelSize, const std::function<void(QPainter&)>& drawing);

// A gradient from `upper` at the height `top` to `lower` at the height `bottom`.
QLinearGradient verticalShade(qreal top, qreal bottom, const QColor& upper, const QColor& lower);

// Fills `shape` and frames it with a border one unit wide just outside it.
void fillOutlined(QPainter& painter, const QPainterPath& shape, const QBrush& fill, const QColor& outline);
void fillOutlined(QPainter& painter, const QPainterPath& shape, const Tone& tone);

// Shapes added later to these paths join them (winding fill) instead of cutting holes.
QPainterPath rectangle(qreal x, qreal y, qreal width, qreal height);
QPainterPath circle(QPointF centre, qreal radius);
QPainterPath polygon(std::initializer_list<QPointF> corners);
// The area a pen `width` units wide covers along `line`, as one shape without overlaps.
QPainterPath strokeArea(const QPainterPath& line, qreal width, Qt::PenCapStyle cap = Qt::FlatCap);

// Two bars between the corners of the rectangle from `from` to `to`, to be given a width with strokeArea.
QPainterPath diagonalCross(QPointF from, QPointF to);

// An exclamation mark two units wide whose bar starts at (`left`, `top`) and whose dot ends at `bottom`.
QPainterPath exclamationMark(qreal left, qreal top, qreal bottom);

// Two black bars from corner to corner across the whole picture.
void crossOut(QPainter& painter);

} // namespace kirvan::icon
