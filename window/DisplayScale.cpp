#include "window/DisplayScale.h"

#include <QString>
#include <algorithm>
#include <cmath>

namespace kirvan {

namespace displayscale {

namespace {
constexpr double capitalsMm = 4.0;
constexpr double capitalsOfText = 0.7;
// 96 dots an inch, which most desktop screens are near.
constexpr double commonPixelMm = 25.4 / 96;
constexpr double designWindowWidth = 900;
} // namespace

double byScreen(QSize pixels, QSizeF millimetres)
{
    double pixelMm = commonPixelMm;
    if (pixels.width() > 0 && millimetres.width() > 0) {
        const double measured = millimetres.width() / pixels.width();
        // A screen's pixel lies between a phone's and a wall display's.
        if (measured >= 0.1 && measured <= 0.8)
            pixelMm = measured;
    }
    const double byLetters = capitalsMm / pixelMm / capitalsOfText / designTextPixels;
    // A screen narrow in pixels cannot hold the window's panels at that size: the table's columns
    // and the composition beside it need about 900 of the design's pixels.
    const double byWidth = pixels.width() > 0 ? pixels.width() / designWindowWidth : byLetters;
    // Tenths, so the same screen always gives the same sizes.
    return std::clamp(std::round(std::min(byLetters, byWidth) * 10) / 10, smallest, largest);
}

double chosen(const QString& setting, double screenChoice)
{
    bool number = false;
    const double factor = QString(setting).replace(u',', u'.').trimmed().toDouble(&number);
    return number && factor >= smallest && factor <= largest ? factor : screenChoice;
}

int scaled(int designPixels, double factor)
{
    return static_cast<int>(std::lround(designPixels * factor));
}

} // namespace displayscale

QRect mainWindowPlace(const QRect& available, const QMargins& frame, QSize minimum)
{
    const QSize room(available.width() - frame.left() - frame.right(), available.height() - frame.top() - frame.bottom());
    const QSize size(std::max(minimum.width(), room.width() - 70), std::max(minimum.height(), room.height() - 60));
    const QPoint centre = available.center();
    const QPoint topLeft(centre.x() - (size.width() + frame.left() + frame.right()) / 2 + frame.left(),
                         centre.y() - (size.height() + frame.top() + frame.bottom()) / 2 + frame.top());
    return {topLeft, size};
}

} // namespace kirvan
