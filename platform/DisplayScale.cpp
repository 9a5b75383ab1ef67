#include "platform/DisplayScale.h"

#include <QScreen>
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
// The table's columns beside the composition, and the toolbar with the status word: wider than
// this many of the design's pixels, the status word goes under the buttons.
constexpr double designWindowWidth = 900;
// The toolbar, the table at its design height with a plan above it, and the status bar: taller,
// the plan is squeezed away.
constexpr double designWindowHeight = 520;
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
    // Tenths, so the same screen always gives the same sizes.
    return std::clamp(std::round(byLetters * 10) / 10, smallest, largest);
}

double largestFor(QSize available)
{
    if (available.isEmpty())
        return largest;
    const double byWidth = available.width() / designWindowWidth;
    const double byHeight = available.height() / designWindowHeight;
    // Tenths down: a factor rounded up would be the one that no longer fits.
    return std::clamp(std::floor(std::min(byWidth, byHeight) * 10) / 10, smallest, largest);
}

double chosen(const QString& setting, double screenChoice, double largestFitting)
{
    bool number = false;
    const double factor = QString(setting).replace(u',', u'.').trimmed().toDouble(&number);
    return std::min(number && factor >= smallest && factor <= largest ? factor : screenChoice, largestFitting);
}

int scaled(int designPixels, double factor)
{
    return static_cast<int>(std::lround(designPixels * factor));
}

double forScreen(const QString& setting, const QScreen* screen)
{
    if (!screen)
        return chosen(setting, 1.0);
    return chosen(setting, byScreen(screen->size(), screen->physicalSize()), largestFor(screen->availableGeometry().size()));
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
