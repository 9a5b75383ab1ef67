#include "dialogs/DialogPlacement.h"

#include <QEvent>
#include <QMainWindow>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace kirvan {

QRect placedInside(const QRect& frame, const QRect& area)
{
    const QSize size = frame.size().boundedTo(area.size());
    const int x = std::clamp(frame.x(), area.left(), area.right() + 1 - size.width());
    const int y = std::clamp(frame.y(), area.top(), area.bottom() + 1 - size.height());
    return {QPoint(x, y), size};
}

bool DialogPlacement::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::Show || !watched->isWidgetType())
        return false;
    auto* window = static_cast<QWidget*>(watched);
    const Qt::WindowType type = window->windowType();
    const bool placed = type == Qt::Dialog || type == Qt::Sheet || type == Qt::Tool
                        || (type == Qt::Window && !qobject_cast<QMainWindow*>(window));
    if (!window->isWindow() || !placed || !window->screen())
        return false;
    const QRect frame = window->frameGeometry();
    const QRect inside = placedInside(frame, window->screen()->availableGeometry());
    if (inside.size() != frame.size())
        window->resize(window->size() - (frame.size() - inside.size()));
    if (inside.topLeft() != frame.topLeft())
        window->move(inside.topLeft());
    return false;
}

} // namespace kirvan
