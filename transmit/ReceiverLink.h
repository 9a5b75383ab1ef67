#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace kirvan {

// One exchange with a receiving centre: a message out, its answer back. Used on the
// transmitter's thread only.
class ReceiverLink {
public:
    struct Reply {
        std::optional<QByteArray> answer; // nothing: no answer within the wait
        QString failure; // why there was none ("соединение отвергнуто" …)
    };
    virtual ~ReceiverLink() = default;
    // Sends to path `path` (0 the receiver, 1 the backup) and waits up to `waitMs` for an answer.
    virtual Reply exchange(std::size_t path, const QByteArray& message, int waitMs) = 0;
    // Any thread: ends the exchange under way and every later one at once.
    virtual void interrupt() = 0;
};

} // namespace kirvan
