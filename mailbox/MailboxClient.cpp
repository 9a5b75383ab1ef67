#include "mailbox/MailboxClient.h"

#include "files/PathCase.h"
#include "mailbox/Mailbox.h"
#include "mailbox/MailboxFile.h"
#include "platform/MessageLoop.h"
#include "platform/Timer.h"

#include <exception>

namespace kirvan {

namespace {

// The packet in the file; nothing when there is no file.
std::optional<MailboxPacket> load(const QString& path)
{
    auto content = mailboxfile::readPacket(path);
    if (const auto* refused = std::get_if<mailboxfile::Unusable>(&content))
        throw MailboxError(refused->reason);
    if (std::holds_alternative<mailboxfile::Missing>(content))
        return std::nullopt;
    return std::get<MailboxPacket>(std::move(content));
}

bool requestWaiting(const std::optional<MailboxPacket>& packet)
{
    return packet && packet->recordCount() > 0 && packet->boolean(0, mailbox::fieldUpdate);
}

} // namespace

MailboxClient::MailboxClient(MessageLoop& loop, QString path) : loop_(loop), path_(std::move(path)) {}

MailboxClient::Outcome MailboxClient::send(const QString& address, bool status, int timeoutMs)
{
    using namespace mailbox;
    const std::int64_t deadline = loop_.now() + timeoutMs;
    const auto free = [this] { return !requestWaiting(load(resolvePathCase(path_))); };
    if (!waitFor(free, deadline))
        return Outcome::Busy; // another writer's request still waits; nothing of ours to take back

    const QString path = resolvePathCase(path_);
    MailboxPacket packet = load(path).value_or(MailboxPacket());
    for (const QString& field : {fieldUpdate, fieldAddress, fieldStatus})
        if (!packet.hasField(field))
            throw MailboxError(mailboxfile::unusable(path, QStringLiteral("в нём нет поля \"%1\"").arg(field)).reason);
    if (packet.recordCount() == 0)
        packet.setBoolean(packet.appendRecord(), fieldUpdate, false); // the fields in their usual order
    packet.setValue(0, fieldAddress, address);
    packet.setBoolean(0, fieldStatus, status);
    packet.setBoolean(0, fieldUpdate, true);
    mailboxfile::write(path, packet);

    if (waitFor(free, deadline))
        return Outcome::Taken;
    std::optional<MailboxPacket> left = load(resolvePathCase(path_));
    if (!requestWaiting(left) || left->value(0, fieldAddress) != address || left->boolean(0, fieldStatus) != status)
        return Outcome::Replaced;
    left->setBoolean(0, fieldUpdate, false);
    mailboxfile::write(resolvePathCase(path_), *left);
    return Outcome::Withdrawn;
}

bool MailboxClient::waitFor(const std::function<bool()>& condition, std::int64_t deadline)
{
    // The condition reads the file; a failure ends the wait and is thrown from here, outside the
    // loop's message processing.
    std::exception_ptr failure;
    const auto met = [&] {
        try {
            return condition();
        } catch (...) {
            failure = std::current_exception();
            return true;
        }
    };
    const std::unique_ptr<Timer> poll = loop_.createTimer();
    poll->setInterval(PollIntervalMs);
    poll->setOnTimer([] {}); // only wakes the wait to look at the file again
    poll->setEnabled(true);
    bool done = met();
    if (!done && deadline > loop_.now())
        done = loop_.waitUntil(met, static_cast<int>(deadline - loop_.now()));
    if (failure)
        std::rethrow_exception(failure);
    return done;
}

} // namespace kirvan
