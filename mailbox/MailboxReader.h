#pragma once

#include "mailbox/MailboxFile.h"
#include "mailbox/MailboxRequest.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace kirvan {

// The mailbox's file work, done on its worker: reads and parses the file only when its signature
// (device, inode, size, modification time) has changed since the last look, takes a pending
// request of the first record and marks it done in the file. The queue and the command panel are
// left to the main thread.
class MailboxReader {
public:
    struct Outcome {
        // The request taken, to queue and show.
        std::optional<MailboxRequest> request;
        // A problem to report to the operator.
        std::optional<QString> problem;
    };

    explicit MailboxReader(QString path) : path_(std::move(path)) {}

    Outcome take();
    // How often the file was parsed.
    int parses() const { return parses_; }

private:
    Outcome takeFrom(const QString& path, const QByteArray& bytes);
    std::optional<QString> writeBack(const QString& path, const QByteArray& read, const QByteArray& merged);

    QString path_;
    // The file as last parsed and what came of it while it stays the same.
    std::optional<mailboxfile::Signature> seen_;
    std::optional<QString> seenProblem_;
    int parses_ = 0;
    // A request taken whose mark could not be written: the file as read and as it must become.
    // While the file still reads the same, the request is not taken again.
    struct PendingWrite {
        QByteArray read;
        QByteArray merged;
    };
    std::optional<PendingWrite> pending_;
};

} // namespace kirvan
