#include "link/FrameDecoder.h"
#include "link/FrameScanner.h"
#include "tools/kirvan-sim/EventFrames.h"

#include <gtest/gtest.h>

namespace kirvan::sim {
namespace {

struct Case {
    EventKind kind;
    Point point;
    const char16_t* record;
};

// Every event the simulator can send, on devices at both ends of each form's range.
const Case cases[] = {
    {EventKind::Normal, {}, u"01/И01-01/00"},
    {EventKind::SwitchedOn, {1, 2, 5}, u"01/И12-05/03"},
    {EventKind::SwitchedOn, {8, 8, 60}, u"01/И88-60/03"},
    {EventKind::SwitchedOff, {0, 1, 5}, u"01/И01-05/05"},
    {EventKind::SwitchedOff, {7, 3, 1}, u"01/И73-01/05"},
    {EventKind::SwitchedOff, {8, 3, 1}, u"01/И83-01/05"},
    {EventKind::Fire, {1, 2, 5}, u"01/И12-05/07"},
    {EventKind::Fire, {8, 8, 60}, u"01/И88-60/07"},
    {EventKind::Fault, {1, 2, 5}, u"01/И12-05/08"},
    {EventKind::NoLink, {2, 1, 1}, u"01/И21-64/09"},
    {EventKind::NoLink, {0x0B, 1, 1}, u"01/ИB1-64/09"},
    {EventKind::ShortCircuit, {1, 3, 1}, u"01/И13-01/10"},
    {EventKind::ContactClosed, {1, 4, 63}, u"01/И14-63/24"},
    {EventKind::ContactOpened, {1, 4, 63}, u"01/И14-63/25"},
    {EventKind::Armed, {1, 2, 6}, u"01/И12-06/30"},
    {EventKind::Disarmed, {8, 2, 6}, u"01/И82-06/31"},
    {EventKind::PowerFailure, {2, 1, 1}, u"01/И21-62/32"},
    {EventKind::Release, {1, 2, 5}, u"01/И12-05/38"},
    {EventKind::Technology, {1, 3, 2}, u"01/И13-02/51"},
    {EventKind::Technology, {8, 8, 60}, u"01/И88-60/51"},
};

TEST(EventFramesTest, EveryEventDecodesBackToItsRecord)
{
    for (const Case& c : cases) {
        Frame frame = eventFrame(c.kind, 1, c.point);
        const QString record = QString::fromUtf16(c.record);
        EXPECT_EQ(frameKind(frame), FrameKind::Event) << record.toStdString();
        EXPECT_EQ(frame[6], frameChecksum(frame.data()));
        EXPECT_EQ(expectedRecord(c.kind, 1, c.point), record);
        EXPECT_EQ(decodeFrame(frame), record);
    }
}

TEST(EventFramesTest, OtherAddressesKeepTheirDigits)
{
    Frame frame = eventFrame(EventKind::Fire, 3, {0, 1, 5});
    EXPECT_EQ(decodeFrame(frame), QStringLiteral("03/И01-05/07"));
}

TEST(EventFramesTest, TheAnswerIsTheAnswerFrameOfTheAddress)
{
    EXPECT_EQ(answerFrame(2), (Frame{0x20, 0x02, 0, 0, 0, 0, 0xDD}));
    EXPECT_EQ(frameKind(answerFrame(2)), FrameKind::Answer);
}

} // namespace
} // namespace kirvan::sim
