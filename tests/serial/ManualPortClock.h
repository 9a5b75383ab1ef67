#pragma once

#include "serial/PortClock.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace kirvan::testing {

// Port time that moves only when the test says so. The worker threads' pauses and timed waits
// block until advance() takes the clock past their end; a pause of the test's own thread (the
// one that made the clock, where the port's properties are used) moves the clock at once, as the
// main thread's pauses do not wait for anything. Free running lets every timed wait of the
// workers end at once, so closing does not wait for a pause to run out.
class ManualPortClock final : public PortClock {
public:
    ManualPortClock();

    std::int64_t now() const override { return now_.load(); }
    void pause(int ms) override;

    void advance(std::int64_t ms);
    void setFreeRunning(bool on);

    // Whether the worker waits now for the named signal ("pause" for a pause) with nothing yet
    // to end its wait. A worker is known by the first signal it sets: the port's threads each
    // set their start signal first ("status thread", "read thread", "write thread").
    bool waiting(const std::string& worker, const std::string& signalName);
    // Called whenever a worker starts to wait (the test wakes its message loop to look again).
    void setOnWait(std::function<void()> handler);

    // What happened, in order: "set <signal>" for every signal set, and the notes of the
    // simulated line.
    void note(std::string what);
    std::vector<std::string> journal();
    // Blocks until the journal has the entry at index `from` or later; false if it does not come
    // within a generous real-time limit.
    bool awaitEntry(const std::string& entry, std::size_t from = 0);

protected:
    void block(std::unique_lock<std::mutex>& lock, std::int64_t deadline, const PortSignal* awaited) override;
    void signalled(const PortSignal& signal) override;

private:
    const std::thread::id owner_;
    std::atomic<std::int64_t> now_{0};
    bool freeRunning_ = false;
    // What each blocked worker waits for; observers wait on their own condition, so that workers
    // entering a wait do not wake each other.
    struct Waiter {
        std::string worker;
        std::string what;
        const PortSignal* signal;
        std::int64_t deadline;
    };
    std::vector<Waiter> waiters_;
    std::map<std::thread::id, std::string> workers_;
    std::function<void()> onWait_;
    std::vector<std::string> journal_;
    std::condition_variable journalChanged_;
};

} // namespace kirvan::testing
