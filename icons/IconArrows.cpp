#include "icons/IconPictures.h"

#include <QPainter>

namespace kirvan::icon {
namespace {

// A blue arrow to the right along the bottom and a red sign in the upper left corner: a plus, or a
// minus when `plus` is false.
void drawArrowWithSign(QPainter& painter, bool plus)
{
    fillOutlined(painter, polygon({{1, 9}, {9, 9}, {9, 6}, {14, 10.5}, {9, 15}, {9, 12}, {1, 12}}),
                 verticalShade(6, 15, Blue.fill.lighter(150), Blue.fill), Blue.outline);
    QPainterPath sign = rectangle(1, 3, 6, 2);
    if (plus)
        sign.addRect(3, 1, 2, 6);
    painter.fillPath(sign.simplified(), Red.fill);
}

} // namespace

void drawArrowRightWithPlus(QPainter& painter)
{
    drawArrowWithSign(painter, true);
}

void drawArrowLeftWithMinus(QPainter& painter)
{
    painter.save();
    painter.translate(16, 0);
    painter.scale(-1, 1);
    drawArrowWithSign(painter, false);
    painter.restore();
}

} // namespace kirvan::icon
