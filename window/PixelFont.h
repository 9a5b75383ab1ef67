#pragma once

#include "platform/DisplayScale.h"

#include <QFont>

namespace kirvan {

// The window's texts are sized in the design's pixels, as its panels are, grown by the display
// scale ("Масштаб").
inline QFont pixelFont(int designPixels, double scale, bool bold = false)
{
    QFont font;
    font.setPixelSize(displayscale::scaled(designPixels, scale));
    font.setBold(bold);
    return font;
}

} // namespace kirvan
