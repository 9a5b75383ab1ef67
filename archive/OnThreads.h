#pragma once

#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

namespace kirvan {

// Runs job(i, state) for every i below `count` on `threads` threads, the calling one among them,
// each taking the next i as it is free; every thread has a State of its own (a read buffer), made
// once. Returns when all are done. A job that should end early when asked looks at its own stop.
template <class State, class Job> void onThreads(std::size_t count, int threads, const Job& job)
{
    std::atomic<std::size_t> next{0};
    const auto run = [&] {
        State state{};
        for (std::size_t i = next++; i < count; i = next++)
            job(i, state);
    };
    std::vector<std::jthread> helpers;
    for (int t = 1; t < threads && std::size_t(t) < count; ++t)
        helpers.emplace_back(run);
    run();
}

} // namespace kirvan
