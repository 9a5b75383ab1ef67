#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace kirvan {

// The viewer's end of the socket the workstation started it with: each line read asks the
// window forward (a second Ctrl+F3), the end of the input says the workstation has gone, however
// it ended, and the viewer closes with it.
class WorkstationChannel final : public QObject {
public:
    WorkstationChannel(int fd, std::function<void()> onShow, std::function<void()> onEnd);

private:
    void readable();

    int fd_;
    QSocketNotifier* notifier_;
    std::function<void()> onShow_;
    std::function<void()> onEnd_;
};

} // namespace kirvan
