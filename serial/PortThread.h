#pragma once

#include <atomic>
#include <thread>

namespace kirvan {

class MessageLoop;

// A worker thread of the port: runs run() until asked to terminate. The main thread waits
// for its end inside the message loop, so the routines the thread hands over meanwhile still run.
class PortThread {
public:
    explicit PortThread(MessageLoop& loop) : loop_(loop) {}
    virtual ~PortThread();
    PortThread(const PortThread&) = delete;
    PortThread& operator=(const PortThread&) = delete;

    void start();
    void terminate() { terminated_ = true; }
    // Waits for the end while processing messages, then releases the thread.
    void waitFor();

protected:
    bool terminated() const { return terminated_; }
    virtual void run() = 0;

private:
    MessageLoop& loop_;
    std::atomic<bool> terminated_{false};
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

} // namespace kirvan
