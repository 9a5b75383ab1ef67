#include "window/WatchedApplication.h"

#include <QAbstractEventDispatcher>
#include <QTimer>

namespace kirvan {

WatchedApplication::WatchedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

void WatchedApplication::watch(std::function<void(const QString& line)> report)
{
    clock_.start();
    watchdog_.emplace([this] { return clock_.elapsed(); }, std::move(report));
    QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance();
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] { watchdog_->sleeping(); });
    connect(dispatcher, &QAbstractEventDispatcher::awake, this, [this] { watchdog_->awake(); });
}

bool WatchedApplication::notify(QObject* receiver, QEvent* event)
{
    if (!watchdog_)
        return QApplication::notify(receiver, event);
    const auto* timer = qobject_cast<const QTimer*>(receiver);
    watchdog_->enter({receiver->metaObject()->className(), int(event->type()), timer ? timer->interval() : -1});
    struct Leave {
        StallWatchdog& watchdog;
        ~Leave() { watchdog.leave(); }
    } leave{*watchdog_};
    return QApplication::notify(receiver, event);
}

} // namespace kirvan
