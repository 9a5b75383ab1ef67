#include "viewer/WorkstationChannel.h"

#include <QSocketNotifier>
#include <cerrno>
#include <unistd.h>

namespace kirvan {

WorkstationChannel::WorkstationChannel(int fd, std::function<void()> onShow, std::function<void()> onEnd)
    : fd_(fd),
      notifier_(new QSocketNotifier(fd, QSocketNotifier::Read, this)),
      onShow_(std::move(onShow)),
      onEnd_(std::move(onEnd))
{
    connect(notifier_, &QSocketNotifier::activated, this, [this] { readable(); });
}

void WorkstationChannel::readable()
{
    char lines[64];
    const ssize_t n = ::read(fd_, lines, sizeof lines);
    if (n < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (n > 0) {
        onShow_();
        return;
    }
    notifier_->setEnabled(false);
    onEnd_();
}

} // namespace kirvan
