#pragma once

#include <QString>
#include <cstddef>
#include <deque>
#include <memory>

namespace kirvan {

class Dialogs;
class MessageLoop;
class Timer;

// Notices for the operator that arise deep inside other work (a log line that cannot be
// written during an alarm): each is shown as a notice that leaves the window free, as soon as
// the work that raised it has returned to the message loop. Of the notices posted before that,
// at most MaxWaiting wait: a log that fails and recovers again and again would otherwise fill the
// memory; the oldest waiting notice gives way, as the newest tells how things stand.
class OperatorNotices {
public:
    static constexpr std::size_t MaxWaiting = 10;

    OperatorNotices(MessageLoop& loop, Dialogs& dialogs);
    ~OperatorNotices();

    void post(const QString& caption, const QString& text);

private:
    void showWaiting();

    Dialogs& dialogs_;
    std::unique_ptr<Timer> timer_;
    std::deque<std::pair<QString, QString>> waiting_;
};

} // namespace kirvan
