#pragma once

#include "platform/Worker.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace kirvan {

class MessageLoop;

// A worker on a thread of its own that hands each job's routine to the main thread with
// MessageLoop::synchronize.
class WorkerThread final : public Worker {
public:
    explicit WorkerThread(MessageLoop& loop);
    // Cancels and ends the thread; a routine already handed over is let through (and dropped) by
    // MessageLoop::serveHandOvers, so the thread never waits for a main thread that waits for it.
    ~WorkerThread() override;
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;

    void post(Job job) override;
    void cancel() override;
    bool busy() const override;

private:
    void run(std::stop_token end);

    MessageLoop& loop_;
    mutable std::mutex mutex_;
    std::condition_variable_any posted_;
    std::deque<Job> jobs_;
    std::stop_source running_;
    bool active_ = false; // a job runs or its routine waits for the main thread
    bool handingOver_ = false; // the thread waits in synchronize
    bool finished_ = false;
    std::jthread thread_;
};

// The program's workers: one thread each.
class ThreadWorkers final : public Workers {
public:
    explicit ThreadWorkers(MessageLoop& loop) : loop_(loop) {}
    std::unique_ptr<Worker> create() override { return std::make_unique<WorkerThread>(loop_); }

private:
    MessageLoop& loop_;
};

} // namespace kirvan
