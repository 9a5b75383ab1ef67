#include "link/FrameReceiver.h"

#include "platform/StatusBar.h"
#include "tests/support/FrameBytes.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <vector>

namespace kirvan {
namespace {

using testing::Bytes;
using FakePort = testing::FakeByteSource;

const auto frame = testing::frameBytes;

class FrameReceiverTest : public ::testing::Test {
protected:
    FrameReceiverTest()
    {
        linkState.fill(0xFF);
        receiver.setOnRejected([this](const QString& record, const QString& reason) {
            rejected.push_back(record + QStringLiteral(" — ") + reason);
        });
    }

    void notify() { receiver.bytesArrived(static_cast<std::uint16_t>(port.inCount())); }

    FakePort port;
    LinkStateTable linkState{};
    StatusBar statusBar;
    std::vector<QString> records;
    std::vector<QString> rejected;
    FrameReceiver receiver{port, linkState, statusBar, [this](const QString& r) { records.push_back(r); }};
};

TEST_F(FrameReceiverTest, FewerThanSevenBytesStayInThePortUntilMoreArrive)
{
    const Bytes fire = frame(0x20, 1, 0x94, 0x12, 0x04);
    port.deliver(Bytes(fire.begin(), fire.begin() + 6));
    notify();
    EXPECT_EQ(port.inCount(), 6);
    EXPECT_TRUE(records.empty());
    port.deliver({fire[6]});
    notify();
    EXPECT_EQ(records, std::vector<QString>{QStringLiteral("01/И13-05/07")});
    EXPECT_EQ(linkState[1], 0);
}

TEST_F(FrameReceiverTest, AnswerFromSystemTwoShowsTheLinkAsNormal)
{
    port.deliver(frame(0x20, 2, 0x00, 0x00, 0x00));
    notify();
    EXPECT_EQ(linkState, (LinkStateTable{0xFF, 0xFF, 0, 0xFF}));
    EXPECT_EQ(statusBar.linkLamp(), (Rgb{0, 128, 0}));
    EXPECT_EQ(statusBar.statePanel(), QStringLiteral("  СОСТОЯНИЕ: НОРМА"));
    EXPECT_TRUE(records.empty());
}

TEST_F(FrameReceiverTest, AFrameSplitAtEveryOffsetIsHandledOnceInOrder)
{
    // Two events and an answer back to back, with noise and a frame with a bad checksum between
    // them, as a panel sends them byte by byte.
    Bytes broken = frame(0x20, 1, 0x94, 0x12, 0x07);
    broken[6] ^= 0x40;
    const Bytes stream = testing::join({frame(0x20, 1, 0x94, 0x12, 0x04),
                                        {0xFF, 0x20, 0x13},
                                        broken,
                                        frame(0x20, 0, 0x23, 0x0A, 0x04),
                                        frame(0x20, 2, 0x00, 0x00, 0x00),
                                        {0x21, 0x00},
                                        frame(0x20, 3, 0x25, 0x01, 0x02)});
    const std::vector<QString> expected{QStringLiteral("01/И13-05/07"), QStringLiteral("00/И13-05/08"),
                                        QStringLiteral("03/И02-03/07")};
    for (std::size_t first = 1; first < stream.size(); ++first) {
        for (std::size_t second = first; second < stream.size(); ++second) {
            SCOPED_TRACE(::testing::Message() << "portions end at " << first << " and " << second);
            records.clear();
            linkState.fill(0xFF);
            FrameReceiver fresh(port, linkState, statusBar, [this](const QString& r) { records.push_back(r); });
            for (const auto& [from, to] :
                 {std::pair{std::size_t{0}, first}, std::pair{first, second}, std::pair{second, stream.size()}}) {
                port.deliver(Bytes(stream.begin() + static_cast<std::ptrdiff_t>(from),
                                   stream.begin() + static_cast<std::ptrdiff_t>(to)));
                fresh.bytesArrived(static_cast<std::uint16_t>(port.inCount()));
            }
            EXPECT_EQ(records, expected);
            EXPECT_EQ(linkState, (LinkStateTable{0, 0, 0, 0}));
            ASSERT_EQ(port.inCount(), 0);
        }
    }
}

TEST_F(FrameReceiverTest, BytesArrivingOneByOneLoseNoFrameAndLeaveNoTail)
{
    const Bytes fire = frame(0x20, 1, 0x94, 0x12, 0x04);
    for (int round = 0; round < 3; ++round)
        for (const std::uint8_t byte : testing::join({fire, {0x7F}, fire, fire})) {
            port.deliver({byte});
            notify();
        }
    EXPECT_EQ(records.size(), 9u);
    // A kept tail counts with the bytes in the port: the rest of a frame is read at once.
    port.deliver(testing::join({fire, Bytes(fire.begin(), fire.begin() + 3)}));
    notify();
    EXPECT_EQ(records.size(), 10u);
    port.deliver(Bytes(fire.begin() + 3, fire.end()));
    notify();
    EXPECT_EQ(records.size(), 11u);
    EXPECT_EQ(port.inCount(), 0);
}

TEST_F(FrameReceiverTest, AtMost255BytesAreTakenAtOnce)
{
    for (int i = 0; i < 40; ++i)
        port.deliver(frame(0x20, 3, 0x94, 0x12, static_cast<std::uint8_t>(i)));
    notify();
    // 255 bytes hold 36 whole frames; the 37th waits, cut, for its rest still in the port.
    EXPECT_EQ(records.size(), 36u);
    EXPECT_EQ(port.inCount(), 280 - 255);
    notify();
    EXPECT_EQ(records.size(), 40u);
    EXPECT_EQ(records.back(), QStringLiteral("03/И13-40/07"));
}

TEST_F(FrameReceiverTest, OwnFramesHeardBackAndOtherStartBytesChangeNothing)
{
    port.deliver(frame(0x02, 0x20, 0x9E, 0x05, 0x03));
    port.deliver(frame(0x21, 0x01, 0x00, 0x00, 0x00));
    notify();
    EXPECT_TRUE(records.empty());
    EXPECT_EQ(linkState, (LinkStateTable{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST_F(FrameReceiverTest, FrameWithAWideFieldIsNeverTakenForAnotherCode)
{
    // Element number 100: its record would read "10" where the code stands.
    port.deliver(frame(0x20, 1, 0x94, 0x12, 0x63));
    port.deliver(frame(0x20, 1, 0x94, 0x12, 0x04));
    notify();
    EXPECT_EQ(records, std::vector<QString>{QStringLiteral("01/И13-05/07")});
    ASSERT_EQ(rejected.size(), 1u);
    EXPECT_TRUE(rejected[0].startsWith(QStringLiteral("01/И13-100/07"))) << rejected[0].toStdString();
    EXPECT_EQ(linkState[1], 0) << "the system did answer";
}

TEST_F(FrameReceiverTest, StationsAboveAddressThreeAreHandedOnWithoutALinkState)
{
    port.deliver(frame(0x20, 33, 0xFF, 0x00, 0x00));
    notify();
    EXPECT_EQ(records, std::vector<QString>{QStringLiteral("33/И01-01/23")});
    EXPECT_EQ(linkState, (LinkStateTable{0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST_F(FrameReceiverTest, ARecordThatFailsIsReportedAndTheNextFrameIsStillHandled)
{
    FrameReceiver failing(port, linkState, statusBar, [this](const QString& record) {
        if (records.empty()) {
            records.push_back(record);
            throw std::runtime_error("Unable to write to /srv/Склад.tb1");
        }
        records.push_back(record);
    });
    failing.setOnRejected([this](const QString&, const QString& reason) { rejected.push_back(reason); });
    port.deliver(frame(0x20, 1, 0x9E, 0x12, 0x04));
    port.deliver(frame(0x20, 1, 0x94, 0x12, 0x04));
    failing.bytesArrived(14);
    EXPECT_EQ(records.size(), 2u);
    EXPECT_EQ(rejected, std::vector<QString>{QStringLiteral("Unable to write to /srv/Склад.tb1")});
}

} // namespace
} // namespace kirvan
