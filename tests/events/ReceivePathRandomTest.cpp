// Random and damaged traffic through the whole receive path: scan, decode, dispatch.
#include "link/FrameReceiver.h"
#include "platform/StatusBar.h"
#include "tests/events/EventFixture.h"
#include "tests/support/FrameBytes.h"

#include "events/EventRecord.h"

#include <random>
#include <set>

namespace kirvan::testing {
namespace {

// Every code the decoding tables can give.
const std::set<int> producibleCodes = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 23, 24, 25, 26, 30, 31, 32, 33,
                                       34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 46, 47, 48, 49, 50, 51, 99};

class ReceivePathRandomTest : public EventFixture {
protected:
    Bytes nextPiece()
    {
        // Addresses mostly of the complex, so that the dispatch does its full work.
        const auto byte = [this] { return static_cast<std::uint8_t>(random() & 0xFF); };
        const std::uint8_t address = random() % 4 == 0 ? byte() : static_cast<std::uint8_t>(random() % 4);
        Bytes piece = frameBytes(0x20, address, byte(), byte(), byte());
        switch (random() % 8) {
        case 0: // one bit damaged on the line
            piece[random() % 7] ^= static_cast<std::uint8_t>(1u << (random() % 8));
            break;
        case 1: // noise before the frame
            for (auto n = random() % 9; n > 0; --n)
                piece.insert(piece.begin(), byte());
            break;
        case 2: // the frame cut short
            piece.resize(random() % 7);
            break;
        default:
            break;
        }
        return piece;
    }

    std::mt19937 random{20231208};
};

TEST_F(ReceivePathRandomTest, HundredThousandFramesNeverCrashAndOnlyProducibleCodesAreDispatched)
{
    FakeByteSource port;
    LinkStateTable linkState{};
    StatusBar statusBar;
    int dispatched = 0;
    std::vector<QString> wrong;
    FrameReceiver receiver(port, linkState, statusBar, [&](const QString& record) {
        if (record.size() != 12 || producibleCodes.count(record::eventCode(record)) == 0)
            wrong.push_back(record);
        ++dispatched;
        dispatcher.processEvent(record);
    });
    int rejected = 0;
    receiver.setOnRejected([&](const QString&, const QString&) { ++rejected; });

    for (int piece = 0; piece < 100'000; ++piece) {
        port.deliver(nextPiece());
        if (random() % 3 == 0)
            receiver.bytesArrived(static_cast<std::uint16_t>(port.inCount()));
    }
    receiver.bytesArrived(static_cast<std::uint16_t>(port.inCount()));

    EXPECT_TRUE(wrong.empty()) << wrong.front().toStdString();
    EXPECT_GT(dispatched, 30'000);
    EXPECT_GT(rejected, 0) << "wide fields occur among random frames";
    EXPECT_GE(table.journalRow(), 1);
}

} // namespace
} // namespace kirvan::testing
