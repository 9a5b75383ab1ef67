#pragma once

#include "mailbox/MailboxPacket.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <variant>

namespace kirvan {

// Reading and writing the mailbox file as a whole. The file is shared with another program
// without locking, so it is read in one go and replaced in one rename: neither side ever sees
// half a file.
namespace mailboxfile {

struct Missing {};
// What tells one content of the file from another without reading it.
struct Signature {
    quint64 device = 0;
    quint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedNs = 0;
    bool operator==(const Signature&) const = default;
};
// The file is there but cannot be used; the text says why, in Russian, naming the file.
struct Unusable {
    QString reason;
};

// The file's bytes. Only a regular file of at most mailbox::maximumFileSize bytes is read, and
// opening never blocks (a FIFO put in its place is refused, not waited on). `signature`, when
// given, receives the signature of the file opened.
std::variant<QByteArray, Missing, Unusable> read(const QString& path, Signature* signature = nullptr);
// The signature of the file now; nothing when it cannot be looked at.
std::optional<Signature> signatureOf(const QString& path);

// "The file is not used" with the reason.
Unusable unusable(const QString& path, const QString& why);

// The packet in the file's bytes, or why they hold none. An empty file is an empty packet.
std::variant<MailboxPacket, Unusable> parse(const QString& path, const QByteArray& bytes);

// The packet in the file, or why there is none.
std::variant<MailboxPacket, Missing, Unusable> readPacket(const QString& path);

// Replaces the file's content crash-safely; throws FileWriteError when refused.
void write(const QString& path, const MailboxPacket& packet);

} // namespace mailboxfile

} // namespace kirvan
