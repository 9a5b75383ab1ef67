#pragma once

#include "platform/StallWatchdog.h"

#include <QApplication>
#include <QElapsedTimer>
#include <optional>

namespace kirvan {

// The program's application: every event it delivers is a handler the stall watchdog follows,
// and the event dispatcher tells it when the main thread sleeps.
class WatchedApplication final : public QApplication {
public:
    WatchedApplication(int& argc, char** argv);

    // From now on, stalls are reported through `report`.
    void watch(std::function<void(const QString& line)> report);

    bool notify(QObject* receiver, QEvent* event) override;

private:
    QElapsedTimer clock_;
    std::optional<StallWatchdog> watchdog_;
};

} // namespace kirvan
