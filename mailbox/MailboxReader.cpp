#include "mailbox/MailboxReader.h"

#include "files/AtomicFile.h"
#include "files/FileWriteError.h"
#include "files/PathCase.h"

namespace kirvan {

MailboxReader::Outcome MailboxReader::take()
{
    const QString path = resolvePathCase(path_);
    if (seen_ && !pending_ && mailboxfile::signatureOf(path) == seen_)
        return {std::nullopt, seenProblem_};
    mailboxfile::Signature signature;
    auto content = mailboxfile::read(path, &signature);
    seen_.reset();
    if (std::holds_alternative<mailboxfile::Missing>(content)) {
        pending_.reset();
        return {};
    }
    if (const auto* refused = std::get_if<mailboxfile::Unusable>(&content))
        return {std::nullopt, refused->reason};
    const QByteArray& bytes = std::get<QByteArray>(content);
    if (pending_ && pending_->read == bytes)
        return {std::nullopt, writeBack(path, bytes, pending_->merged)};
    Outcome outcome = takeFrom(path, bytes);
    // A file that gave a request is rewritten (or to be rewritten); any other is looked at again
    // only once it changes.
    if (!outcome.request && !pending_) {
        seen_ = signature;
        seenProblem_ = outcome.problem;
    }
    return outcome;
}

MailboxReader::Outcome MailboxReader::takeFrom(const QString& path, const QByteArray& bytes)
{
    using namespace mailbox;
    ++parses_;
    auto parsed = mailboxfile::parse(path, bytes);
    if (const auto* refused = std::get_if<mailboxfile::Unusable>(&parsed))
        return {std::nullopt, refused->reason};
    auto& packet = std::get<MailboxPacket>(parsed);
    std::optional<QString> guessed;
    if (packet.readAsWindows1251())
        guessed = QStringLiteral("Файл команд %1 не в UTF-8 и не называет своей кодировки: он прочитан как windows-1251.")
                      .arg(path);
    if (packet.recordCount() == 0)
        return {std::nullopt, guessed};
    if (!packet.hasField(fieldUpdate))
        return {std::nullopt, mailboxfile::unusable(path, QStringLiteral("в нём нет поля \"update\"")).reason};
    if (!packet.boolean(0, fieldUpdate))
        return {std::nullopt, guessed};

    // The request is marked done whatever becomes of it, so the writer can go on.
    packet.setBoolean(0, fieldUpdate, false);
    Outcome outcome;
    if (!packet.hasField(fieldAddress) || !packet.hasField(fieldStatus)) {
        outcome.problem
            = QStringLiteral("Запрос из файла команд %1 снят: в файле нет полей \"address\" и \"status\".").arg(path);
    } else {
        try {
            outcome.request = requestFor(packet.value(0, fieldAddress).value_or(QString()),
                                         packet.boolean(0, fieldStatus));
        } catch (const std::exception& conversion) {
            outcome.problem = QStringLiteral("Запрос из файла команд %1 снят: %2")
                                  .arg(path, QString::fromStdString(conversion.what()));
        }
    }
    const std::optional<QString> writeProblem = writeBack(path, bytes, packet.serialize());
    if (!outcome.problem)
        outcome.problem = writeProblem ? writeProblem : guessed;
    return outcome;
}

std::optional<QString> MailboxReader::writeBack(const QString& path, const QByteArray& read, const QByteArray& merged)
{
    try {
        writeFileAtomically(path, merged);
        pending_.reset();
        return std::nullopt;
    } catch (const FileWriteError& refused) {
        pending_ = PendingWrite{read, merged};
        return QStringLiteral("%1 (%2). Запрос выполнен, но файл команд не отмечен.")
            .arg(QString::fromStdString(refused.what()), refused.reason());
    }
}

} // namespace kirvan
