#include "mailbox/MailboxFile.h"

#include "files/AtomicFile.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kirvan::mailboxfile {

namespace {

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

Signature signatureFrom(const struct stat& info)
{
    return {quint64(info.st_dev), quint64(info.st_ino), qint64(info.st_size),
            qint64(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec};
}

} // namespace

Unusable unusable(const QString& path, const QString& why)
{
    return {QStringLiteral("Файл команд %1 не используется: %2.").arg(path, why)};
}

std::optional<Signature> signatureOf(const QString& path)
{
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return std::nullopt;
    return signatureFrom(info);
}

std::variant<QByteArray, Missing, Unusable> read(const QString& path, Signature* signature)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT)
            return Missing{};
        return unusable(path, systemError(errno));
    }
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return unusable(path, systemError(errno));
    if (signature)
        *signature = signatureFrom(info);
    if (!S_ISREG(info.st_mode))
        return unusable(path, QStringLiteral("это не обычный файл"));
    if (info.st_size > mailbox::maximumFileSize)
        return unusable(path, QStringLiteral("размер %1 байт больше допустимого 64 КБ").arg(info.st_size));
    // The other program may be growing the file meanwhile: never read more than the limit.
    QByteArray bytes;
    char chunk[16384];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return unusable(path, systemError(errno));
        if (got == 0)
            break;
        bytes.append(chunk, got);
        if (bytes.size() > mailbox::maximumFileSize)
            return unusable(path, QStringLiteral("размер больше допустимого 64 КБ"));
    }
    return bytes;
}

std::variant<MailboxPacket, Missing, Unusable> readPacket(const QString& path)
{
    auto content = read(path);
    if (auto* missing = std::get_if<Missing>(&content))
        return *missing;
    if (auto* refused = std::get_if<Unusable>(&content))
        return *refused;
    return std::visit([](auto&& parsed) -> std::variant<MailboxPacket, Missing, Unusable> { return std::move(parsed); },
                      parse(path, std::get<QByteArray>(content)));
}

std::variant<MailboxPacket, Unusable> parse(const QString& path, const QByteArray& bytes)
{
    // An installer switches the mailbox on by creating the file empty.
    if (bytes.trimmed().isEmpty())
        return MailboxPacket();
    QString error;
    auto packet = MailboxPacket::parse(bytes, error);
    if (!packet)
        return unusable(path, QStringLiteral("это не пакет данных XML (%1)").arg(error));
    return std::move(*packet);
}

void write(const QString& path, const MailboxPacket& packet)
{
    writeFileAtomically(path, packet.serialize());
}

} // namespace kirvan::mailboxfile
