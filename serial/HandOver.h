#pragma once

#include <atomic>
#include <functional>

namespace kirvan {

class MessageLoop;

// A routine that a worker thread hands to the main thread again and again, waiting each time
// until it has run. It is built once, on the main thread, and each hand-over publishes the
// request through an atomic: what the worker wrote before is visible to the routine, and what
// the routine did is visible to the worker afterwards. The message loop orders them as well, but
// inside the toolkit, where a thread checker cannot see it.
class HandOver {
public:
    // `nesting` counts the routines of one owner running on the main thread.
    HandOver(MessageLoop& loop, int& nesting, std::function<void()> routine);
    HandOver(const HandOver&) = delete;
    HandOver& operator=(const HandOver&) = delete;

    // From the worker thread.
    void run();

private:
    MessageLoop& loop_;
    int& nesting_;
    const std::function<void()> routine_;
    const std::function<void()> onMainThread_;
    std::atomic<unsigned> handed_{0};
};

} // namespace kirvan
