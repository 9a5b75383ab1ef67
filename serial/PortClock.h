#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace kirvan {

// An auto-reset event of the port. Only its clock sets, takes and waits for it.
class PortSignal {
public:
    explicit PortSignal(const char* name) : name_(name) {}
    const char* name() const { return name_; }

private:
    friend class PortClock;
    const char* name_;
    bool set_ = false;
};

// Time as the port and its worker threads see it: the 100 ms pauses, the 500 ms wait for the
// receive signal and the 1000 ms waits for a thread's start. The program runs on the steady
// clock; tests drive a clock of their own so that these periods cost no real time.
class PortClock {
public:
    virtual ~PortClock() = default;

    // Milliseconds on this clock.
    virtual std::int64_t now() const = 0;

    virtual void pause(int ms);
    // Waits up to ms (no limit when negative) for the signal and resets it. True if it was set.
    bool wait(PortSignal& signal, int ms);
    void set(PortSignal& signal);
    void reset(PortSignal& signal);

protected:
    // Blocks until notified or until the clock reaches the deadline (ms, or none when negative),
    // for a pause (awaited null) or a wait for the signal. Called with the lock of mutex() held.
    virtual void block(std::unique_lock<std::mutex>& lock, std::int64_t deadline, const PortSignal* awaited) = 0;
    // Called under the lock whenever a signal is set.
    virtual void signalled(const PortSignal&) {}

    std::mutex& mutex() { return mutex_; }
    // Under the lock of mutex().
    static bool isSet(const PortSignal& signal) { return signal.set_; }
    std::condition_variable& changed() { return changed_; }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
};

class SteadyPortClock final : public PortClock {
public:
    std::int64_t now() const override;
    // A pause ends at its time only: asleep, it is not woken by every signal set meanwhile (a
    // received frame sets several) only to wait again.
    void pause(int ms) override;

protected:
    void block(std::unique_lock<std::mutex>& lock, std::int64_t deadline, const PortSignal* awaited) override;
};

} // namespace kirvan
