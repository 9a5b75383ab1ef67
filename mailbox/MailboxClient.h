#pragma once

#include <QString>
#include <cstdint>
#include <functional>

namespace kirvan {

class MessageLoop;

// The writing program's side of the mailbox: write a request only while "update" is false, then
// wait until the workstation has set it false again. Waits keep processing messages and look at
// the file every PollIntervalMs.
class MailboxClient {
public:
    static constexpr int PollIntervalMs = 100;
    // Busy: another writer's request waited all the time and ours was never written. Withdrawn:
    // ours was written, not taken in time and taken back. Replaced: ours was written, and in the
    // end the file held another writer's request in its place.
    enum class Outcome { Taken, Busy, Withdrawn, Replaced };

    MailboxClient(MessageLoop& loop, QString path);

    // Waits until the mailbox is free (a missing file is free and is created with the three
    // fields), writes the request into the first record and waits until it is taken. When
    // `timeoutMs` have passed in all, a request still waiting is withdrawn ("update" false
    // again), so that a workstation started later does not carry it out at an unexpected moment.
    // Throws MailboxError when the file cannot be used and FileWriteError when it cannot be
    // written. The address is not checked here (see requestFor).
    Outcome send(const QString& address, bool status, int timeoutMs);

private:
    bool waitFor(const std::function<bool()>& condition, std::int64_t deadline);

    MessageLoop& loop_;
    QString path_;
};

} // namespace kirvan
