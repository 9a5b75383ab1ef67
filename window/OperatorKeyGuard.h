#pragma once

#include <QList>
#include <QObject>

class QAction;
class QWidget;

namespace kirvan {

// The operator's keys belong to their commands wherever the keyboard is in the main window or
// in a window it keeps open beside it (the control-module prompt): a widget with the focus may
// not claim one of them for itself (a combo box takes Ctrl+Insert as "copy"), or the alarm key
// would do nothing. Installed on the application, since a key is offered to the focus widget
// and then to each of its parents.
class OperatorKeyGuard final : public QObject {
public:
    OperatorKeyGuard(QWidget& mainWindow, QList<QAction*> keys);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool guards(const QWidget& widget) const;

    QWidget& mainWindow_;
    QList<QAction*> keys_;
};

} // namespace kirvan
