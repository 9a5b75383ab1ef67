#pragma once

#include "mailbox/MailboxReader.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>

namespace kirvan {

class CommandQueue;
class MessageLoop;
class StatusBar;
class Timer;
class Worker;

// A failure of the mailbox told to the operator (Russian text naming the file).
class MailboxError : public std::runtime_error {
public:
    explicit MailboxError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

// The command mailbox: another program leaves one request at a time in KirvanMonitorP.cds
// (see MailboxPacket); every 500 ms mailboxTimer takes a pending request of the first record into the
// command queue, shows it on the command panel, names it in the journal and marks it done
// ("update" false) in the file. A request is only taken while the queue has room (held for it
// while the file is read): with the queue full it stays pending ("update" true) for a later tick,
// so a request marked done is always a command queued.
//
// Nothing in the file is used as a path or a command line: the request only becomes the four
// bytes of a queued command. A file that cannot be used (malformed, too large, not a regular
// file, without the "update" field) is left alone and reported once, not at every tick; a request
// that cannot be carried out (an address too short or not a number, the "address" or "status"
// field missing) is reported and marked done, so the writer is never stuck. A file deleted while
// the program runs is looked for again at each tick.
//
// The file is read, parsed and written on the mailbox's worker (see MailboxReader); a tick only
// hands it the look, and skips while the last one is under way. The request and the report
// come back to the main thread.
class Mailbox {
public:
    static constexpr int IntervalMs = 500;

    Mailbox(MessageLoop& loop, QString path, CommandQueue& queue, StatusBar& statusBar, std::unique_ptr<Worker> worker);
    ~Mailbox();
    Mailbox(const Mailbox&) = delete;
    Mailbox& operator=(const Mailbox&) = delete;

    // Start-up: when the file exists now, binds to it and switches mailboxTimer on for the whole run;
    // otherwise the mailbox stays idle.
    void bind();

    const QString& path() const { return path_; }
    Timer& timer5() { return *timer5_; }

    // One tick: hands the look at the file to the worker.
    void readMailbox();
    // How often the file was parsed (read on the main thread only while the worker is idle).
    int parses() const { return reader_.parses(); }
    // Gets the journal line of each request carried out ("ПОЧТОВЫЙ ЯЩИК: …").
    void setOnCarriedOut(std::function<void(const QString& line)> handler) { onCarriedOut_ = std::move(handler); }

private:
    // On the main thread: queues and shows the request taken. Throws MailboxError to report a
    // problem to the operator, once for as long as it lasts; the loop's error handler shows it.
    void apply(const MailboxReader::Outcome& outcome);

    std::unique_ptr<Timer> timer5_;
    QString path_;
    CommandQueue& queue_;
    StatusBar& statusBar_;
    std::function<void(const QString& line)> onCarriedOut_;
    bool holdingRoom_ = false; // room in the queue held for the look under way
    QString reported_; // the problem last reported, until a tick goes well
    MailboxReader reader_; // the worker's alone once the timer runs
    std::unique_ptr<Worker> worker_;
};

} // namespace kirvan
