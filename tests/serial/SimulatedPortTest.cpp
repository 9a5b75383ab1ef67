#include "tests/serial/SimulatedPortTest.h"

#include <algorithm>
#include <thread>

namespace kirvan::testing {

SimulatedPortTest::SimulatedPortTest()
{
    clock.setOnWait([this] { loop.wake(); });
    line.setOnWait([this] { loop.wake(); });
}

void SimulatedPortTest::open()
{
    port.setOpen(true);
    ASSERT_TRUE(port.isOpen());
}

void SimulatedPortTest::close()
{
    // Time runs freely once closing has discarded the buffers, so that no pass sends or takes
    // anything the closing discards.
    const std::size_t from = clock.journal().size();
    std::thread releaser([this, from] {
        EXPECT_TRUE(clock.awaitEntry("purge input", from));
        clock.setFreeRunning(true);
    });
    port.setOpen(false);
    releaser.join();
    clock.setFreeRunning(false);
}

void SimulatedPortTest::serveUntil(const std::function<bool()>& done)
{
    ASSERT_TRUE(loop.waitUntil(done));
}

void SimulatedPortTest::settle()
{
    serveUntil([this] {
        if (line.eventWaiting() && clock.waiting("read thread", "receive") && clock.waiting("write thread", "pause"))
            return true;
        // The status thread pauses 100 ms after starting a wait that did not end at once.
        if (clock.waiting("status thread", "pause"))
            clock.advance(100);
        return false;
    });
}

void SimulatedPortTest::awaitWritePause()
{
    serveUntil([this] { return clock.waiting("write thread", "pause"); });
}

void SimulatedPortTest::receive(const std::vector<std::uint8_t>& bytes)
{
    settle();
    line.receive(bytes);
}

void SimulatedPortTest::passTime(std::int64_t ms)
{
    clock.advance(ms);
    // A wait that fell due is no longer counted as waiting: the reader has made its pass once it
    // waits again. Counting entries into the wait would not do, as any notification re-enters it.
    serveUntil([this] { return clock.waiting("read thread", "receive"); });
}

void SimulatedPortTest::recordArrivals(bool consume)
{
    port.setOnBytesArrived([this, consume](std::uint16_t count) {
        notices.push_back({count, clock.now(), loop.isMainThread()});
        if (!consume)
            return;
        std::vector<std::uint8_t> bytes(count);
        bytes.resize(static_cast<std::size_t>(port.readBuf(bytes)));
        received.insert(received.end(), bytes.begin(), bytes.end());
    });
}

bool inOrder(const std::vector<std::string>& journal, const std::vector<std::string>& expected)
{
    auto from = journal.begin();
    for (const std::string& entry : expected) {
        from = std::find(from, journal.end(), entry);
        if (from == journal.end())
            return false;
        ++from;
    }
    return true;
}

} // namespace kirvan::testing
