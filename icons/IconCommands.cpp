#include "icons/IconPictures.h"

#include <QPainter>

namespace kirvan::icon {
namespace {

const Tone Skin{QColor(255, 214, 170), QColor(140, 80, 40)};
const Tone Metal{QColor(214, 214, 214), QColor(64, 64, 64)};

} // namespace

// A monitor with a flame on its screen: the workstation of a fire alarm complex.
void drawProgram(QPainter& painter)
{
    fillOutlined(painter, polygon({{6, 11}, {10, 11}, {11, 14}, {5, 14}}), Metal);
    fillOutlined(painter, rectangle(1, 2, 14, 9), QColor(96, 96, 96), Ink);
    painter.fillRect(QRectF(2, 3, 12, 7), verticalShade(3, 10, QColor(30, 60, 140), QColor(60, 120, 210)));

    QPainterPath flame;
    flame.moveTo(8, 3.5);
    flame.cubicTo(9, 5, 11, 6, 10.5, 7.5);
    flame.cubicTo(10.2, 8.8, 9, 9.5, 8, 9.5);
    flame.cubicTo(7, 9.5, 5.8, 8.8, 5.5, 7.5);
    flame.cubicTo(5, 6, 7, 5, 8, 3.5);
    painter.fillPath(flame, QColor(255, 90, 0));
    painter.save();
    painter.translate(8, 9.5);
    painter.scale(0.5, 0.55);
    painter.translate(-8, -9.5);
    painter.fillPath(flame, QColor(255, 230, 40));
    painter.restore();
}

// A mains plug, prongs up, its cable leaving downwards.
void drawPlug(QPainter& painter)
{
    fillOutlined(painter, rectangle(5, 1, 2, 5), Metal);
    fillOutlined(painter, rectangle(9, 1, 2, 5), Metal);
    painter.fillRect(QRectF(7, 12, 2, 4), Ink);
    fillOutlined(painter, polygon({{3, 5}, {13, 5}, {13, 8}, {10, 12}, {6, 12}, {3, 8}}),
                 verticalShade(5, 12, QColor(140, 140, 140), QColor(70, 70, 70)), Ink);
}

void drawRedCross(QPainter& painter)
{
    fillOutlined(painter, strokeArea(diagonalCross({3.5, 3.5}, {12.5, 12.5}), 3), Red);
}

void drawRedCrossWithExclamation(QPainter& painter)
{
    fillOutlined(painter, strokeArea(diagonalCross({2.5, 3.5}, {9.5, 10.5}), 2.25), Red);
    painter.fillPath(exclamationMark(12, 2, 14), Ink);
}

// An open hand, palm towards the viewer: four fingers up, the thumb out to the left.
void drawHand(QPainter& painter)
{
    QPainterPath hand;
    hand.setFillRule(Qt::WindingFill);
    hand.addRoundedRect(QRectF(3, 8, 11, 7), 2, 2);
    hand.addRoundedRect(QRectF(3, 3, 2, 7), 1, 1);
    hand.addRoundedRect(QRectF(6, 1, 2, 9), 1, 1);
    hand.addRoundedRect(QRectF(9, 2, 2, 8), 1, 1);
    hand.addRoundedRect(QRectF(12, 4, 2, 6), 1, 1);
    QPainterPath thumb;
    thumb.moveTo(4, 12);
    thumb.lineTo(1.5, 7.5);
    hand = hand.united(strokeArea(thumb, 2.5, Qt::RoundCap));
    fillOutlined(painter, hand, Skin);
}

// A ring arrow turning anticlockwise around an exclamation mark; its head points left at the top.
void drawCircularArrowWithExclamation(QPainter& painter)
{
    const QRectF ring(3, 3, 10, 10);
    QPainterPath arc;
    arc.arcMoveTo(ring, 200);
    arc.arcTo(ring, 200, 250);
    // Without a border: a border would leave no room inside the ring for the mark.
    painter.fillPath(strokeArea(arc, 2).united(polygon({{9, 0}, {9, 6}, {5, 3}})), Red.fill);
    painter.fillPath(exclamationMark(7, 5, 11), Ink);
}

// A loudspeaker facing right with two sound waves.
void drawLoudspeaker(QPainter& painter)
{
    const QLinearGradient shade = verticalShade(2, 14, QColor(220, 220, 220), QColor(130, 130, 130));
    fillOutlined(painter, rectangle(2, 6, 3, 4), shade, Ink);
    fillOutlined(painter, polygon({{5, 6}, {9, 2}, {9, 14}, {5, 10}}), shade, Ink);
    QPainterPath waves;
    for (const qreal radius : {3.5, 5.5}) {
        const QRectF around(9 - radius, 8 - radius, 2 * radius, 2 * radius);
        waves.arcMoveTo(around, 45);
        waves.arcTo(around, 45, -90);
    }
    painter.fillPath(strokeArea(waves, 1), Ink);
}

void drawQuestionMark(QPainter& painter)
{
    const QRectF bow(5, 2, 6, 6);
    QPainterPath mark;
    mark.arcMoveTo(bow, 180);
    mark.arcTo(bow, 180, -240);
    mark.lineTo(8, 9.5);
    mark.lineTo(8, 11);
    painter.fillPath(strokeArea(mark, 2), Blue.fill);
    painter.fillRect(QRectF(7, 12, 2, 2), Blue.fill);
}

void drawCalculator(QPainter& painter)
{
    fillOutlined(painter, rectangle(3, 1, 10, 14), QColor(200, 200, 200), QColor(64, 64, 64));
    painter.fillRect(QRectF(4, 2, 8, 3), QColor(176, 214, 170));
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column)
            painter.fillRect(QRectF(4 + 3 * column, 6 + 3 * row, 2, 2), QColor(70, 70, 70));
    }
    painter.fillRect(QRectF(10, 12, 2, 2), QColor(240, 120, 0));
}

} // namespace kirvan::icon
