#pragma once

#include <QMargins>
#include <QRect>
#include <QSizeF>
#include <QString>

class QScreen;

namespace kirvan {

// The guard-room screen is read from a chair two metres away: the window's texts, panels and
// markers grow with one factor, "Масштаб" of the settings, by default the one that gives the
// table's capitals about 4 mm on the screen the window opens on; either as far as the screen
// holds the window's panels at that size.
namespace displayscale {

inline constexpr double smallest = 1.0;
inline constexpr double largest = 3.0;
// The design's text: 12-pixel letters, capitals about 0.7 of that.
inline constexpr int designTextPixels = 12;

// The table's capitals about 4 mm high. `millimetres` may be empty or nonsense (a projector, a
// virtual screen): a common desktop screen's density is assumed then.
double byScreen(QSize pixels, QSizeF millimetres);
// The largest factor at which the main window still fits the screen's available area with the
// status word whole beside the history line and the buttons, the table's message column beside
// its other columns and the tree, the plan above the table and the status bar's texts side by side.
double largestFor(QSize available);
// The setting as written ("1,5" or "1.5"); anything else, or a factor outside 1 to 3, leaves the
// screen's choice. Neither goes beyond `largest`, what the screen holds.
double chosen(const QString& setting, double screenChoice, double largest = displayscale::largest);
// A size of the design (pixels) at the factor.
int scaled(int designPixels, double factor);

// The factor for a window on `screen` (none: the design's size) with the setting "Масштаб" as
// written: the workstation and its journal viewer grow alike.
double forScreen(const QString& setting, const QScreen* screen);

} // namespace displayscale

// Where the main window opens: the available area less a margin, never below the minimum size,
// centred with its frame (title bar, borders): the frame counts against the area, so the window
// does not run under the screen's edge. The result is the client area's place.
QRect mainWindowPlace(const QRect& available, const QMargins& frame, QSize minimum);

} // namespace kirvan
