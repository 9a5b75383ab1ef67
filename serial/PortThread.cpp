#include "CommPort/PortThread.h"

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
        Execute();
        finished_ = true;
        loop_.wake();
    });
}

void PortThread::WaitFor()
{
    loop_.waitUntil([this] { return finished_.load(); });
    if (thread_.joinable())
        thread_.join();
}

} // namespace kirvan
