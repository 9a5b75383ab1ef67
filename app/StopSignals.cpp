#include "app/StopSignals.h"

#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace kirvan {

namespace {

constexpr std::array stopSignals{SIGTERM, SIGINT, SIGHUP};
// The signal handler only writes to this pipe; the message loop reads it.
int pipeFds[2] = {-1, -1};

extern "C" void onStopSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    (void)!::write(pipeFds[1], &byte, 1);
    errno = saved;
}

} // namespace

StopSignals::StopSignals(std::function<void()> onStop) : onStop_(std::move(onStop))
{
    if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { drain(); });
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : stopSignals)
        ::sigaction(signal, &action, nullptr);
}

StopSignals::~StopSignals()
{
    for (const int signal : stopSignals)
        std::signal(signal, SIG_DFL);
    delete notifier_;
    for (int& fd : pipeFds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void StopSignals::drain()
{
    char bytes[16];
    while (::read(pipeFds[0], bytes, sizeof bytes) > 0) {}
    // A second signal while the first is handled changes nothing.
    if (requested_)
        return;
    requested_ = true;
    onStop_();
}

} // namespace kirvan
