#include "window/OperatorKeyGuard.h"

#include <QAction>
#include <QKeyEvent>
#include <QWidget>

namespace kirvan {

OperatorKeyGuard::OperatorKeyGuard(QWidget& mainWindow, QList<QAction*> keys)
    : QObject(&mainWindow), mainWindow_(mainWindow), keys_(std::move(keys))
{}

// The main window itself, or a window it owns that asks nothing of the operator (a modal
// dialog's keys are its own).
bool OperatorKeyGuard::guards(const QWidget& widget) const
{
    const QWidget* window = widget.window();
    if (window == &mainWindow_)
        return true;
    return !window->isModal() && window->parentWidget() && window->parentWidget()->window() == &mainWindow_;
}

bool OperatorKeyGuard::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType())
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    // Insert and Delete of the number pad are the same keys to the operator.
    const QKeySequence pressed(QKeyCombination(key->modifiers() & ~Qt::KeypadModifier, Qt::Key(key->key())));
    for (const QAction* action : keys_)
        if (action->shortcut() == pressed && guards(*static_cast<QWidget*>(watched))) {
            // Not accepted: the shortcut goes to its command.
            event->ignore();
            return true;
        }
    return false;
}

} // namespace kirvan
