#pragma once

#include <QObject>
#include <QRect>

namespace kirvan {

// `frame` (a window with its frame) moved, and shrunk where it is larger, so that it lies within
// `area`.
QRect placedInside(const QRect& frame, const QRect& area);

// Every window of the program but the main window (which places itself) opens inside the
// available area of its screen: a dialog centred on a main window near the screen's edge, or
// a tool window placed beside it, would otherwise open partly off the screen. Installed on the
// application, it looks at each window as it is shown.
class DialogPlacement final : public QObject {
public:
    explicit DialogPlacement(QObject* owner) : QObject(owner) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace kirvan
