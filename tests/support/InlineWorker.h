#pragma once

#include "platform/Worker.h"

namespace kirvan::testing {

// Runs each job and its routine at once, on the caller's thread: the work of a worker in the
// order a test can follow step by step.
class InlineWorker final : public Worker {
public:
    void post(Job job) override
    {
        if (const Routine routine = job(std::stop_token()))
            routine();
    }
    void cancel() override {}
    bool busy() const override { return false; }
};

class InlineWorkers final : public Workers {
public:
    std::unique_ptr<Worker> create() override { return std::make_unique<InlineWorker>(); }
};

} // namespace kirvan::testing
