#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace kirvan {

// SIGTERM, SIGINT and SIGHUP (service stop, Ctrl+C, logout, shutdown) end the program as the
// operator's "Выход" does: the handler runs on the main thread from the message loop, since a
// signal may come at any point of the program's work. One instance per process.
class StopSignals final : public QObject {
public:
    explicit StopSignals(std::function<void()> onStop);
    ~StopSignals() override;
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // True once a stop signal has arrived.
    bool requested() const { return requested_; }

private:
    void drain();

    std::function<void()> onStop_;
    QSocketNotifier* notifier_ = nullptr;
    bool requested_ = false;
};

} // namespace kirvan
