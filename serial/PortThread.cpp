#include "serial/PortThread.h"

#include "platform/MessageLoop.h"

namespace kirvan {

PortThread::~PortThread()
{
    if (thread_.joinable())
        thread_.join();
}

void PortThread::start()
{
    thread_ = std::thread([this] {
        run();
        finished_ = true;
        loop_.wake();
    });
}

void PortThread::waitFor()
{
    loop_.waitUntil([this] { return finished_.load(); });
    if (thread_.joinable())
        thread_.join();
}

} // namespace kirvan
