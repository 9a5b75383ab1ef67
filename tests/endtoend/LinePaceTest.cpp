// The receive path on a real port (a pseudo-terminal) with a far end that writes as a panel
// does: byte by byte at 4800 bit/s, frames back to back.

#include "serial/PseudoTerminal.h"
#include "app/PanelLine.h"
#include "link/FrameReceiver.h"
#include "platform/QtMessageLoop.h"
#include "platform/StatusBar.h"
#include "tests/support/FrameBytes.h"
#include "tests/support/TempFolder.h"
#include "tools/kirvan-sim/SimLine.h"

#include <gtest/gtest.h>
#include <thread>

namespace kirvan::testing {
namespace {

constexpr int waitLimitMs = 5000;

// Writes bytes from a thread of its own at the line's pace, as the panel's UART would.
class PacedWriter {
public:
    PacedWriter(const PseudoTerminal& far, Bytes bytes)
        : thread_([&far, bytes = std::move(bytes)] {
              auto due = std::chrono::steady_clock::now();
              for (const std::uint8_t byte : bytes) {
                  due += sim::SimLine::byteTime;
                  std::this_thread::sleep_until(due);
                  if (!far.write({byte}))
                      return;
              }
          })
    {}
    ~PacedWriter() { thread_.join(); }

private:
    std::thread thread_;
};

class LinePaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(far.valid());
        ASSERT_TRUE(far.holdSlaveRaw());
        ASSERT_TRUE(far.linkAs(folder.file(QStringLiteral("ports/COM1"))));
        linkState.fill(0);
        panelLine.port().setOnBytesArrived([this](std::uint16_t count) { receiver.bytesArrived(count); });
        panelLine.port().openNumber(1);
        ASSERT_TRUE(panelLine.port().isOpen());
    }
    void TearDown() override { panelLine.port().close(); }

    // Bytes that reached the port so far, taken by the receiver or still waiting.
    int arrived() { return taken + panelLine.port().inCount(); }

    TempFolder folder;
    PseudoTerminal far;
    QtMessageLoop loop;
    PanelLine panelLine{loop, folder.path()};
    // Counts what the receiver takes, so the test knows where a portion ended.
    struct CountingPort final : ByteSource {
        CountingPort(ByteSource& port, int& taken) : port_(port), taken_(taken) {}
        int inCount() override { return port_.inCount(); }
        std::uint8_t readByte() override
        {
            ++taken_;
            return port_.readByte();
        }
        ByteSource& port_;
        int& taken_;
    };
    int taken = 0;
    CountingPort counting{panelLine.port(), taken};
    LinkStateTable linkState{};
    StatusBar statusBar;
    std::vector<QString> records;
    FrameReceiver receiver{counting, linkState, statusBar, [this](const QString& r) { records.push_back(r); }};
};

TEST_F(LinePaceTest, AFramePausedAtEveryOffsetIsReceivedWhole)
{
    const Bytes fire = frameBytes(0x20, 1, 0x94, 0x12, 0x04);
    for (std::size_t offset = 1; offset < fire.size(); ++offset) {
        SCOPED_TRACE(::testing::Message() << "the line pauses after byte " << offset);
        // A whole frame and the beginning of the next: the beginning is read with the first or
        // stays in the port; either way the next portion starts inside the frame.
        const int before = arrived();
        const std::size_t recordsBefore = records.size();
        {
            PacedWriter writer(far,
                               join({fire, Bytes(fire.begin(), fire.begin() + static_cast<std::ptrdiff_t>(offset))}));
            ASSERT_TRUE(loop.waitUntil(
                [&] { return arrived() - before == static_cast<int>(7 + offset) && records.size() == recordsBefore + 1; },
                waitLimitMs));
        }
        PacedWriter writer(far, Bytes(fire.begin() + static_cast<std::ptrdiff_t>(offset), fire.end()));
        ASSERT_TRUE(loop.waitUntil([&] { return records.size() == recordsBefore + 2; }, waitLimitMs));
    }
    EXPECT_EQ(records, std::vector<QString>(12, QStringLiteral("01/И13-05/07")));
}

TEST_F(LinePaceTest, BurstsOfFramesWithNoiseBetweenThemLoseNothing)
{
    Bytes line;
    std::vector<QString> expected;
    for (int burst = 0; burst < 6; ++burst) {
        for (int i = 0; i < 10; ++i) {
            const auto element = static_cast<std::uint8_t>(burst * 10 + i);
            line = join({line, frameBytes(0x20, 2, 0x94, 0x12, element)});
            expected.push_back(QStringLiteral("02/И13-%1/07").arg(element + 1, 2, 10, QLatin1Char('0')));
        }
        // Noise a frame cannot start with, a start byte alone, and a frame with a bad checksum.
        Bytes broken = frameBytes(0x20, 2, 0x94, 0x12, 0x30);
        broken[6] ^= 0x11;
        line = join({line, Bytes(static_cast<std::size_t>(burst + 1), 0xA5), {0x20}, broken});
    }
    PacedWriter writer(far, line);
    ASSERT_TRUE(loop.waitUntil([&] { return records.size() >= expected.size(); }, waitLimitMs));
    EXPECT_EQ(records, expected);
}

} // namespace
} // namespace kirvan::testing
