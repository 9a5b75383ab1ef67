#include "link/FrameScanner.h"

#include "tests/support/FrameBytes.h"

#include <gtest/gtest.h>
#include <vector>

namespace kirvan {
namespace {

using testing::Bytes;
using testing::join;
const auto frame = testing::frameBytes;

struct Scan {
    std::vector<Frame> frames;
    std::size_t tailStart;
};

Scan scan(const Bytes& bytes)
{
    Scan result;
    result.tailStart = scanFrames(bytes.data(), bytes.size(), [&](const Frame& f) { result.frames.push_back(f); });
    return result;
}

const Bytes fire = frame(0x20, 0x01, 0x94, 0x12, 0x04);
const Bytes answer = frame(0x20, 0x02, 0x00, 0x00, 0x00);

TEST(FrameScannerTest, AnswerFrameOfTheWorkedExample)
{
    EXPECT_EQ(answer, (Bytes{0x20, 0x02, 0x00, 0x00, 0x00, 0x00, 0xDD}));
}

TEST(FrameScannerTest, TwoFramesBackToBackAreBothAcceptedInOrder)
{
    const Scan s = scan(join({fire, answer}));
    ASSERT_EQ(s.frames.size(), 2u);
    EXPECT_EQ(s.frames[0][2], 0x94);
    EXPECT_EQ(s.frames[1][2], 0x00);
    EXPECT_EQ(s.tailStart, 14u);
}

TEST(FrameScannerTest, StrayByteBeforeAFrameMovesTheWindowByOne)
{
    const Scan s = scan(join({{0xFF}, fire}));
    ASSERT_EQ(s.frames.size(), 1u);
    EXPECT_EQ(s.frames[0][1], 0x01);
}

TEST(FrameScannerTest, PartialFrameAtTheEndIsLeftOverAsTheTail)
{
    const Scan s = scan(join({fire, {0x20, 0x01, 0x94}}));
    EXPECT_EQ(s.frames.size(), 1u);
    EXPECT_EQ(s.tailStart, 7u);
}

TEST(FrameScannerTest, OwnEchoStartingWithAnAddressByteIsConsumedWhole)
{
    // A command frame heard back: its bytes must not start a false frame inside it.
    const Bytes echo = frame(0x02, 0x20, 0x9E, 0x05, 0x03);
    EXPECT_EQ(echo, (Bytes{0x02, 0x20, 0x9E, 0x05, 0x03, 0x00, 0x37}));
    const Scan s = scan(join({echo, fire}));
    ASSERT_EQ(s.frames.size(), 2u);
    EXPECT_EQ(s.frames[0][0], 0x02);
    EXPECT_EQ(s.frames[1][0], 0x20);
}

TEST(FrameScannerTest, CandidateStartingWithAnotherByteIsRejectedEvenWithAGoodChecksum)
{
    const Scan s = scan(frame(0x22, 0x01, 0x94, 0x12, 0x04));
    EXPECT_TRUE(s.frames.empty());
    EXPECT_EQ(s.tailStart, 1u) << "the six bytes after the rejected start may begin a frame";
}

TEST(FrameScannerTest, WrongChecksumBetweenFramesLosesNoValidFrame)
{
    const Bytes broken = join({Bytes(fire.begin(), fire.end() - 1), {static_cast<std::uint8_t>(fire.back() ^ 0x01)}});
    const Scan s = scan(join({answer, broken, {0x00, 0x13, 0x77}, fire, answer}));
    EXPECT_EQ(s.frames.size(), 3u);
}

TEST(FrameScannerTest, FewerThanSevenBytesGiveNothing)
{
    EXPECT_TRUE(scan(Bytes(fire.begin(), fire.begin() + 6)).frames.empty());
    EXPECT_TRUE(scan(Bytes{}).frames.empty());
}

} // namespace
} // namespace kirvan
