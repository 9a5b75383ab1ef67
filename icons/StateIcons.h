#pragma once

#include <QIcon>
#include <QImage>
#include <QPixmap>

// The shared list of pictures of the composition tree (node kinds and states) and of the main menu
// (commands): 28 square pictures with a transparent background, 16 pixels in the tree and menus.
namespace kirvan {

constexpr int StateIconCount = 28;

// Picture `index` (0 to 27) drawn on a transparent square image `pixelSize` pixels wide; a null
// image for any other index or a size below 1. Needs no application object.
QImage stateIconImage(int index, int pixelSize);

// Picture `index` for `size` device-independent pixels on a screen with `devicePixelRatio`; null for
// an index outside 0 to 27. Needs a QGuiApplication.
QPixmap stateIconPixmap(int index, int size, qreal devicePixelRatio);

// Picture `index` with versions of 16, 24, 32 and 48 pixels, also at double resolution; an empty
// icon for an index outside 0 to 27. Drawn at the first call, shared by every later one. Needs a
// QGuiApplication; main thread only.
QIcon stateIcon(int index);

} // namespace kirvan
