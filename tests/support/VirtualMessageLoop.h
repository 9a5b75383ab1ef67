#pragma once

#include "platform/MessageLoop.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>
#include <vector>

namespace kirvan::testing {

// A message loop on virtual time. Nothing happens until the test advances the clock or the code
// under test waits: a wait moves the clock straight to the next due timer. Timers due at the
// same moment fire in the order they were (re)armed. Routines handed over by real worker
// threads are served before timers, as posted messages are.
class VirtualMessageLoop final : public MessageLoop {
public:
    VirtualMessageLoop();
    ~VirtualMessageLoop() override;

    std::unique_ptr<Timer> createTimer() override;
    std::int64_t now() const override { return now_; }
    bool waitUntil(const std::function<bool()>& done, int timeoutMs = -1) override;
    void synchronize(const std::function<void()>& routine) override;
    void wake() override;
    bool isMainThread() const override;
    void serveHandOvers() override;

    // Runs every handed-over routine and every timer due up to now() + ms, then sets the clock
    // there (or leaves it later, if a handler's own waits took it further).
    void advance(std::int64_t ms);

    // Routines handed over and not yet taken up (a test waits for a worker to get this far).
    std::size_t pendingRoutines();

private:
    class VirtualTimer;
    struct Routine {
        const std::function<void()>* routine;
        bool done = false;
    };

    bool runOneRoutine();
    VirtualTimer* nextDueTimer() const;
    void fireTimer(VirtualTimer& timer);
    void waitForRoutine();

    std::atomic<std::int64_t> now_{0};
    std::uint64_t armSequence_ = 0;
    std::vector<VirtualTimer*> timers_;
    const std::thread::id mainThread_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Routine*> routines_;
    bool woken_ = false;
};

} // namespace kirvan::testing
