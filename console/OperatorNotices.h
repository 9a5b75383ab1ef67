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
// written during an alarm): each is shown in its own message box as soon as the work that
// raised it has returned to the message loop, so the box never holds that work up. While a box
// stays open for hours, at most MaxWaiting notices wait: a log that fails and recovers again and
// again would otherwise fill the memory; the oldest waiting notice gives way, as the newest
// tells how things stand.
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
