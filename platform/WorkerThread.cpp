#include "platform/WorkerThread.h"

#include "platform/MessageLoop.h"

namespace kirvan {

WorkerThread::WorkerThread(MessageLoop& loop) : loop_(loop), thread_([this](std::stop_token end) { run(end); }) {}

WorkerThread::~WorkerThread()
{
    {
        std::lock_guard lock(mutex_);
        finished_ = true;
        jobs_.clear();
        running_.request_stop();
    }
    thread_.request_stop();
    // Only the hand-over is let through: no timer or window message runs inside this end.
    loop_.serveHandOverUnderWay(mutex_, handingOver_);
    thread_.join();
}

void WorkerThread::post(Job job)
{
    std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
    posted_.notify_one();
}

void WorkerThread::cancel()
{
    std::lock_guard lock(mutex_);
    jobs_.clear();
    running_.request_stop();
}

bool WorkerThread::busy() const
{
    std::lock_guard lock(mutex_);
    return active_ || !jobs_.empty();
}

void WorkerThread::run(std::stop_token end)
{
    for (;;) {
        Job job;
        std::stop_token stop;
        {
            std::unique_lock lock(mutex_);
            if (!posted_.wait(lock, end, [this] { return !jobs_.empty(); }))
                return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
            running_ = std::stop_source();
            stop = running_.get_token();
            active_ = true;
        }
        const Routine routine = job(stop);
        {
            std::lock_guard lock(mutex_);
            if (stop.stop_requested() || finished_ || !routine) {
                active_ = false;
                continue;
            }
            handingOver_ = true;
        }
        loop_.synchronize([&] {
            // cancel() and the end run on the main thread too: checked here, they are exact.
            bool wanted = false;
            {
                std::lock_guard lock(mutex_);
                wanted = !stop.stop_requested() && !finished_;
                active_ = false;
            }
            if (wanted)
                routine();
        });
        {
            std::lock_guard lock(mutex_);
            handingOver_ = false;
        }
        loop_.wake();
    }
}

} // namespace kirvan
