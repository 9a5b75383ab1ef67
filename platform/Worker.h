#pragma once

#include <functional>
#include <memory>
#include <stop_token>

namespace kirvan {

// Slow work (reading and parsing files, exports) away from the main thread, so no alarm waits
// behind it. A job runs on the worker with a stop token; the routine it returns is the job's
// result and runs on the main thread afterwards, unless cancel() came first. Jobs run one at a
// time in the order posted.
class Worker {
public:
    using Routine = std::function<void()>;
    using Job = std::function<Routine(std::stop_token)>;

    virtual ~Worker() = default;
    // Main thread only.
    virtual void post(Job job) = 0;
    // Drops the jobs not yet started and asks the running one to stop; none of their routines
    // runs afterwards.
    virtual void cancel() = 0;
    // A job is queued or running, or its routine has not run yet.
    virtual bool busy() const = 0;
};

// Where the program's workers come from: threads in the program, the tests' own in tests.
class Workers {
public:
    virtual ~Workers() = default;
    virtual std::unique_ptr<Worker> create() = 0;
};

} // namespace kirvan
