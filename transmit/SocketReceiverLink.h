#pragma once

#include "transmit/ReceiverLink.h"
#include "transmit/ReceiverSettings.h"

#include <atomic>
#include <vector>

namespace kirvan {

// The receiving centre over TCP (one connection per path, kept open and made again after an
// error) or UDP (one datagram each way). Waits in poll() together with an eventfd, so that
// `interrupt` ends them from any thread.
class SocketReceiverLink : public ReceiverLink {
public:
    SocketReceiverLink(std::vector<ReceiverSettings::Path> paths, bool udp);
    ~SocketReceiverLink() override;
    SocketReceiverLink(const SocketReceiverLink&) = delete;
    SocketReceiverLink& operator=(const SocketReceiverLink&) = delete;

    Reply exchange(std::size_t path, const QByteArray& message, int waitMs) override;
    void interrupt() override;

private:
    // Waits until `fd` is ready for `events` or the deadline; false with `failure` set otherwise.
    bool await(int fd, short events, std::int64_t deadlineMs, QString& failure) const;
    bool connect(std::size_t path, std::int64_t deadlineMs, QString& failure);
    void close(std::size_t path);

    std::vector<ReceiverSettings::Path> paths_;
    bool udp_;
    std::vector<int> sockets_;
    int wake_ = -1;
    std::atomic<bool> interrupted_ = false;
};

} // namespace kirvan
