#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <memory>

namespace kirvan {

class Timer;

// The main thread's message processing. All program logic runs on the main thread; every wait
// keeps processing messages, so handlers run inside other handlers' waits. Worker threads hand
// routines over with synchronize(); they are served from any wait, in the order handed over.
class MessageLoop {
public:
    using ErrorHandler = std::function<void(const std::exception&)>;

    virtual ~MessageLoop() = default;

    virtual std::unique_ptr<Timer> createTimer() = 0;

    // Milliseconds on a monotonic clock.
    virtual std::int64_t now() const = 0;

    // Processes messages one at a time, sleeping while none is pending, until done() holds,
    // timeoutMs (when not negative) has passed or the program is asked to stop. Returns done().
    // Main thread only.
    virtual bool waitUntil(const std::function<bool()>& done, int timeoutMs = -1) = 0;

    // The program is to stop ("Выход", a stop signal, --quit-after): every wait under way ends,
    // so that the handlers holding them return and the outermost loop can close the window.
    // Waits begun afterwards (those of the close itself) run as usual. Main thread only.
    void requestStop();
    // Counts the requests; a wait ends when it changes.
    std::uint64_t stopRequests() const { return stopRequests_; }

    // From a worker thread: runs the routine on the main thread and returns once it has run.
    // Called on the main thread, it runs the routine at once.
    virtual void synchronize(const std::function<void()>& routine) = 0;

    // Main thread: runs the routines worker threads have handed over, and nothing else (no timer,
    // no window message), for an owner that ends a worker caught handing over.
    virtual void serveHandOvers() = 0;
    // Main thread, for such an owner: serves hand-overs until `handingOver`, read under `mutex`,
    // is false.
    void serveHandOverUnderWay(std::mutex& mutex, const bool& handingOver);

    // Any thread: makes the current wait test its condition again.
    virtual void wake() = 0;

    virtual bool isMainThread() const = 0;

    // An exception that leaves a timer handler or a handed-over routine ends that handler only;
    // it is reported here (the main window shows it in a message box). Default: standard error.
    void setErrorHandler(ErrorHandler handler) { errorHandler_ = std::move(handler); }

    // Runs one handler of this loop, routing an exception it throws to the error handler.
    void runHandler(const std::function<void()>& handler) noexcept;

private:
    void report(const std::exception& error) noexcept;

    ErrorHandler errorHandler_;
    std::uint64_t stopRequests_ = 0;
};

} // namespace kirvan
