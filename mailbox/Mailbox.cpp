#include "mailbox/Mailbox.h"

#include "files/AtomicFile.h"
#include "files/FileWriteError.h"
#include "files/PathCase.h"
#include "mailbox/MailboxFile.h"
#include "mailbox/MailboxRequest.h"
#include "link/CommandQueue.h"
#include "platform/MessageLoop.h"
#include "platform/StatusBar.h"
#include "platform/Timer.h"

#include <QFileInfo>

namespace kirvan {

Mailbox::Mailbox(MessageLoop& loop, QString path, CommandQueue& queue, StatusBar& statusBar)
    : timer5_(loop.createTimer()), path_(std::move(path)), queue_(queue), statusBar_(statusBar)
{
    timer5_->setInterval(IntervalMs);
    timer5_->setOnTimer([this] { Timer5Timer(); });
}

Mailbox::~Mailbox() = default;

void Mailbox::bind()
{
    if (QFileInfo::exists(resolvePathCase(path_)))
        timer5_->setEnabled(true);
}

void Mailbox::Timer5Timer()
{
    const std::optional<QString> problem = takeRequest();
    if (!problem) {
        reported_.clear();
        return;
    }
    // Remembered before the report: the message box keeps the timers running meanwhile.
    if (*problem == reported_)
        return;
    reported_ = *problem;
    throw MailboxError(*problem);
}

std::optional<QString> Mailbox::takeRequest()
{
    using namespace mailbox;
    const QString path = resolvePathCase(path_);
    auto content = mailboxfile::read(path);
    if (std::holds_alternative<mailboxfile::Missing>(content)) {
        pending_.reset();
        return std::nullopt;
    }
    if (const auto* refused = std::get_if<mailboxfile::Unusable>(&content))
        return refused->reason;
    const QByteArray& bytes = std::get<QByteArray>(content);
    if (pending_ && pending_->read == bytes)
        return writeBack(bytes, pending_->merged);

    auto parsed = mailboxfile::parse(path, bytes);
    if (const auto* refused = std::get_if<mailboxfile::Unusable>(&parsed))
        return refused->reason;
    auto* packet = &std::get<MailboxPacket>(parsed);
    if (packet->recordCount() == 0)
        return std::nullopt;
    if (!packet->hasField(fieldUpdate))
        return mailboxfile::unusable(path, QStringLiteral("в нём нет поля \"update\"")).reason;
    if (!packet->boolean(0, fieldUpdate))
        return std::nullopt;

    // The request is marked done whatever becomes of it, so the writer can go on.
    packet->setBoolean(0, fieldUpdate, false);
    std::optional<QString> requestProblem;
    const std::optional<QString> address = packet->value(0, fieldAddress);
    if (!packet->hasField(fieldAddress) || !packet->hasField(fieldStatus)) {
        requestProblem = QStringLiteral("Запрос из файла команд %1 снят: в файле нет полей \"address\" и \"status\".")
                             .arg(path);
    } else {
        try {
            const MailboxRequest request = requestFor(address.value_or(QString()), packet->boolean(0, fieldStatus));
            statusBar_.setPanel13(request.text);
            const Command& c = request.command;
            queue_.QueueCommand(c.address, c.code, c.parameterA, c.parameterB);
        } catch (const std::exception& conversion) {
            requestProblem = QStringLiteral("Запрос из файла команд %1 снят: %2")
                                 .arg(path, QString::fromStdString(conversion.what()));
        }
    }
    const std::optional<QString> writeProblem = writeBack(bytes, packet->serialize());
    return requestProblem ? requestProblem : writeProblem;
}

std::optional<QString> Mailbox::writeBack(const QByteArray& read, const QByteArray& merged)
{
    try {
        writeFileAtomically(resolvePathCase(path_), merged);
        pending_.reset();
        return std::nullopt;
    } catch (const FileWriteError& refused) {
        pending_ = PendingWrite{read, merged};
        return QStringLiteral("%1 (%2). Запрос выполнен, но файл команд не отмечен.")
            .arg(QString::fromStdString(refused.what()), refused.reason());
    }
}

} // namespace kirvan
