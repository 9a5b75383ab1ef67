#pragma once

#include <QFont>

namespace kirvan {

// The window's texts are sized in pixels, as its panels are.
inline QFont pixelFont(int pixels, bool bold = false)
{
    QFont font;
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

} // namespace kirvan
