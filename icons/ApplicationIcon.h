#pragma once

#include <QIcon>
#include <QImage>

class QPainter;

// The program's own picture, for the window, the desktop entry and the menus of the desktop: a
// monitor showing a flame, drawn like the state pictures on their grid of 16 × 16 units.
namespace kirvan {

// Draws on a painter whose 16 × 16 units cover the picture.
void drawApplicationIcon(QPainter& painter);

// The picture on a transparent square image `pixelSize` pixels wide. Needs no application object.
QImage applicationIconImage(int pixelSize);

// The window's icon, with the sizes a desktop asks for. Needs a QGuiApplication.
QIcon applicationIcon();

// The sizes of the picture files installed for the desktop's icon theme.
inline constexpr int ApplicationIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

} // namespace kirvan
