#include "icons/IconPictures.h"

namespace kirvan::icon {

// A key lying to the right: round bow with a hole on the left, shaft and two teeth on the right.
void drawKey(QPainter& painter, const Tone& tone)
{
    QPainterPath key = circle({4.5, 8}, 3.5);
    key.addRect(7, 7, 8, 2);
    key.addRect(11, 9, 1, 2);
    key.addRect(13, 9, 2, 3);
    key = key.simplified();
    key.addEllipse(QPointF(4, 8), 1.25, 1.25);
    key.setFillRule(Qt::OddEvenFill);
    fillOutlined(painter, key, tone);
}

} // namespace kirvan::icon
