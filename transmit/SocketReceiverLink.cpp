#include "transmit/SocketReceiverLink.h"

#include "platform/SystemError.h"

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kirvan {

namespace {

std::int64_t nowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

} // namespace

SocketReceiverLink::SocketReceiverLink(std::vector<ReceiverSettings::Path> paths, bool udp)
    : paths_(std::move(paths)), udp_(udp), sockets_(paths_.size(), -1), wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{}

SocketReceiverLink::~SocketReceiverLink()
{
    for (std::size_t path = 0; path < sockets_.size(); ++path)
        close(path);
    if (wake_ >= 0)
        ::close(wake_);
}

void SocketReceiverLink::interrupt()
{
    interrupted_ = true;
    const std::uint64_t one = 1;
    if (wake_ >= 0 && ::write(wake_, &one, sizeof one) < 0) {
        // The counter is full: a wake is pending anyway.
    }
}

void SocketReceiverLink::close(std::size_t path)
{
    if (sockets_[path] >= 0)
        ::close(sockets_[path]);
    sockets_[path] = -1;
}

bool SocketReceiverLink::await(int fd, short events, std::int64_t deadlineMs, QString& failure) const
{
    for (;;) {
        if (interrupted_) {
            failure = QStringLiteral("работа завершается");
            return false;
        }
        const std::int64_t left = deadlineMs - nowMs();
        if (left <= 0) {
            failure = QStringLiteral("нет ответа");
            return false;
        }
        pollfd fds[2] = {{fd, events, 0}, {wake_, POLLIN, 0}};
        const int ready = ::poll(fds, 2, int(left));
        if (ready < 0 && errno != EINTR) {
            failure = systemErrorText(errno);
            return false;
        }
        if (ready > 0 && fds[0].revents != 0)
            return true;
    }
}

bool SocketReceiverLink::connect(std::size_t path, std::int64_t deadlineMs, QString& failure)
{
    if (sockets_[path] >= 0)
        return true;
    addrinfo hints{};
    hints.ai_socktype = udp_ ? SOCK_DGRAM : SOCK_STREAM;
    addrinfo* found = nullptr;
    const QByteArray host = paths_[path].host.toUtf8();
    const QByteArray port = QByteArray::number(paths_[path].port);
    if (const int error = ::getaddrinfo(host.constData(), port.constData(), &hints, &found); error != 0) {
        failure = QStringLiteral("адрес не найден: ") + QString::fromLocal8Bit(::gai_strerror(error));
        return false;
    }
    failure = QStringLiteral("адрес не найден");
    for (addrinfo* entry = found; entry && sockets_[path] < 0; entry = entry->ai_next) {
        const int fd = ::socket(entry->ai_family, entry->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, entry->ai_protocol);
        if (fd < 0) {
            failure = systemErrorText(errno);
            continue;
        }
        int error = ::connect(fd, entry->ai_addr, entry->ai_addrlen) == 0 ? 0 : errno;
        if (error == EINPROGRESS && await(fd, POLLOUT, deadlineMs, failure)) {
            socklen_t length = sizeof error;
            ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
        } else if (error == EINPROGRESS) {
            ::close(fd);
            continue;
        }
        if (error != 0) {
            failure = systemErrorText(error);
            ::close(fd);
            continue;
        }
        sockets_[path] = fd;
    }
    ::freeaddrinfo(found);
    return sockets_[path] >= 0;
}

ReceiverLink::Reply SocketReceiverLink::exchange(std::size_t path, const QByteArray& message, int waitMs)
{
    Reply reply;
    const std::int64_t deadline = nowMs() + waitMs;
    if (path >= paths_.size() || !connect(path, deadline, reply.failure))
        return reply;
    const int fd = sockets_[path];
    for (qsizetype sent = 0; sent < message.size();) {
        if (!await(fd, POLLOUT, deadline, reply.failure)) {
            close(path);
            return reply;
        }
        const ssize_t n = ::send(fd, message.constData() + sent, std::size_t(message.size() - sent), MSG_NOSIGNAL);
        if (n < 0 && errno != EAGAIN && errno != EINTR) {
            reply.failure = systemErrorText(errno);
            close(path);
            return reply;
        }
        sent += n > 0 ? n : 0;
    }
    // A TCP answer ends with its CR; a datagram is one answer.
    QByteArray answer;
    while (await(fd, POLLIN, deadline, reply.failure)) {
        char buffer[1024];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
            reply.failure = n == 0 ? QStringLiteral("приемник закрыл соединение") : systemErrorText(errno);
            break;
        }
        if (n < 0)
            continue;
        answer.append(buffer, n);
        if (udp_ || answer.contains('\r')) {
            reply.answer = udp_ ? answer : answer.left(answer.indexOf('\r') + 1);
            return reply;
        }
    }
    // The connection may hold half an answer or a late one: the next exchange starts afresh.
    close(path);
    return reply;
}

} // namespace kirvan
