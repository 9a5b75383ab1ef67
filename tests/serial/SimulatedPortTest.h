#pragma once

#include "serial/SerialPort.h"
#include "tests/serial/ManualPortClock.h"
#include "tests/serial/SimulatedLine.h"
#include "tests/support/VirtualMessageLoop.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace kirvan::testing {

// A port on the simulated line, with the main thread's messages and the port's time both virtual.
// Workers that wait on the clock or the line wake the message loop, so a test can serve the
// workers' hand-overs until a condition holds without any fixed sleep.
class SimulatedPortTest : public ::testing::Test {
protected:
    struct Notice {
        std::uint16_t count;
        std::int64_t at;
        bool onMainThread;
    };

    SimulatedPortTest();
    // Closing must not wait for a pause that only the test could end.
    ~SimulatedPortTest() override { clock.setFreeRunning(true); }

    void open();
    void close();
    // Serves the workers' hand-overs until done() holds (fails the test after a long stall).
    void serveUntil(const std::function<bool()>& done);
    // Brings the workers to rest: the read thread waiting for the receive signal, the write
    // thread in its pause, the status thread waiting for a line event.
    void settle();
    // Serves hand-overs until the write thread is back in its pause after a pass.
    void awaitWritePause();
    // Bytes from the far end, once the status thread waits for them: it takes a line event up
    // at once only then, and otherwise after its 100 ms pause.
    void receive(const std::vector<std::uint8_t>& bytes);
    // Advances the port's time and lets the read thread make the pass that falls due.
    void passTime(std::int64_t ms);
    // Records the arrivals the port reports; takes the bytes when `consume` is set.
    void recordArrivals(bool consume);

    VirtualMessageLoop loop;
    ManualPortClock clock;
    SimulatedLine line{clock};
    SerialPort port{loop, line, clock};
    std::vector<Notice> notices;
    std::vector<std::uint8_t> received;
};

// Whether `expected` occurs in `journal` in this order, other entries in between allowed.
bool inOrder(const std::vector<std::string>& journal, const std::vector<std::string>& expected);

} // namespace kirvan::testing
