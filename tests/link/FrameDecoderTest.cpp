#include "link/FrameDecoder.h"

#include "tests/support/FrameBytes.h"

#include <gtest/gtest.h>

namespace kirvan {
namespace {

Frame eventFrame(std::uint8_t b1, std::uint8_t b2, std::uint8_t b3, std::uint8_t b4)
{
    return testing::makeFrame(0x20, b1, b2, b3, b4);
}

struct DecodeCase {
    std::uint8_t b1, b2, b3, b4;
    const char16_t* record;
    friend void PrintTo(const DecodeCase& c, std::ostream* os) { *os << QString::fromUtf16(c.record).toStdString(); }
};

class DecodeFrameTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeFrameTest, GivesTheRecordOfTheFrame)
{
    const DecodeCase c = GetParam();
    Frame frame = eventFrame(c.b1, c.b2, c.b3, c.b4);
    EXPECT_EQ(decodeFrame(frame), QString::fromUtf16(c.record));
}

// b3 = 0x12 names group 1, sub-number 3; b4 = 0x04 element 5.
INSTANTIATE_TEST_SUITE_P(
    HighBranchFixedCodes, DecodeFrameTest,
    ::testing::Values(
        DecodeCase{1, 0x80, 0x12, 0x04, u"01/И13-05/00"}, DecodeCase{1, 0x82, 0x12, 0x04, u"01/И13-05/01"},
        DecodeCase{1, 0x84, 0x12, 0x04, u"01/И13-05/02"}, DecodeCase{1, 0x94, 0x12, 0x04, u"01/И13-05/07"},
        DecodeCase{1, 0x98, 0x12, 0x04, u"01/И13-05/10"}, DecodeCase{1, 0x9A, 0x12, 0x04, u"01/И13-05/24"},
        DecodeCase{1, 0x9B, 0x12, 0x04, u"01/И13-05/25"}, DecodeCase{1, 0x9E, 0x12, 0x04, u"01/И13-05/30"},
        DecodeCase{1, 0x9F, 0x12, 0x04, u"01/И13-05/31"}, DecodeCase{1, 0xA0, 0x12, 0x04, u"01/И13-05/36"},
        DecodeCase{1, 0xA1, 0x12, 0x04, u"01/И13-05/37"}, DecodeCase{1, 0xA2, 0x12, 0x04, u"01/И13-05/34"},
        DecodeCase{1, 0xA3, 0x12, 0x04, u"01/И13-05/35"}, DecodeCase{1, 0xA4, 0x12, 0x04, u"01/И13-05/38"},
        DecodeCase{1, 0xA5, 0x12, 0x04, u"01/И13-05/39"}, DecodeCase{1, 0xA6, 0x12, 0x04, u"01/И13-05/40"},
        DecodeCase{1, 0xA7, 0x12, 0x04, u"01/И13-05/41"}, DecodeCase{1, 0xB0, 0x12, 0x04, u"01/И13-05/42"},
        DecodeCase{1, 0xB1, 0x12, 0x04, u"01/И13-05/43"}, DecodeCase{1, 0xB2, 0x12, 0x04, u"01/И13-05/44"},
        DecodeCase{1, 0xB3, 0x12, 0x04, u"01/И13-05/45"}, DecodeCase{1, 0xB4, 0x12, 0x04, u"01/И13-05/46"},
        DecodeCase{1, 0xB5, 0x12, 0x04, u"01/И13-05/47"}, DecodeCase{1, 0xFF, 0x12, 0x04, u"01/И13-05/23"},
        DecodeCase{1, 0x81, 0x12, 0x04, u"01/И13-05/99"}, DecodeCase{1, 0xA8, 0x12, 0x04, u"01/И13-05/99"},
        DecodeCase{1, 0xFE, 0x12, 0x04, u"01/И13-05/99"},
        // Groups above 9 are upper-case hexadecimal digits (relay units БРВУ 2 to 6).
        DecodeCase{0, 0x94, 0xA0, 0x00, u"00/ИA1-01/07"}, DecodeCase{0, 0x94, 0xE7, 0x00, u"00/ИE8-01/07"}));

INSTANTIATE_TEST_SUITE_P(
    HighBranchSwitching, DecodeFrameTest,
    ::testing::Values(DecodeCase{1, 0x8A, 0x12, 0x04, u"01/И13-05/03"}, DecodeCase{1, 0x8A, 0x12, 0x3F, u"01/И13-64/04"},
                      DecodeCase{1, 0x8A, 0x12, 0xBF, u"01/И13-64/04"}, DecodeCase{1, 0x8A, 0x92, 0x04, u"01/И13-05/05"},
                      DecodeCase{1, 0x8A, 0x92, 0x3F, u"01/И13-64/06"}, DecodeCase{1, 0x8A, 0x92, 0xBF, u"01/И13-64/06"},
                      // Bit 7 of b3 is the switch-off flag only for 0x8A; elsewhere it is group 8+.
                      DecodeCase{1, 0x94, 0x92, 0x04, u"01/И93-05/07"}));

INSTANTIATE_TEST_SUITE_P(
    HighBranchDevicePoints, DecodeFrameTest,
    ::testing::Values(DecodeCase{1, 0x96, 0x12, 0x00, u"01/И13-01/08"}, DecodeCase{1, 0x96, 0x12, 0x3B, u"01/И13-60/08"},
                      DecodeCase{1, 0x96, 0x12, 0x3C, u"01/И13-61/99"}, DecodeCase{1, 0x96, 0x12, 0x3D, u"01/И13-62/32"},
                      DecodeCase{1, 0x96, 0x12, 0x3E, u"01/И13-63/26"}, DecodeCase{1, 0x96, 0x12, 0x3F, u"01/И13-64/09"},
                      DecodeCase{1, 0x96, 0x12, 0x40, u"01/И13-65/33"}, DecodeCase{1, 0x96, 0x12, 0x41, u"01/И13-66/99"},
                      DecodeCase{1, 0x96, 0x12, 0xBE, u"01/И13-63/26"}));

// b3 = 0x0A names device 1, line 3; b4 = 0x04 element 5.
INSTANTIATE_TEST_SUITE_P(
    LowBranchCodes, DecodeFrameTest,
    ::testing::Values(DecodeCase{0, 0x20, 0x0A, 0x04, u"00/И13-05/01"}, DecodeCase{0, 0x21, 0x0A, 0x04, u"00/И13-05/00"},
                      DecodeCase{0, 0x23, 0x0A, 0x04, u"00/И13-05/08"}, DecodeCase{0, 0x23, 0x0A, 0x3B, u"00/И13-60/08"},
                      DecodeCase{0, 0x23, 0x0A, 0x3C, u"00/И13-61/09"}, DecodeCase{0, 0x23, 0x0A, 0x3D, u"00/И13-62/99"},
                      DecodeCase{0, 0x23, 0x0A, 0x3E, u"00/И13-63/26"}, DecodeCase{0, 0x23, 0x0A, 0x41, u"00/И13-66/99"},
                      DecodeCase{0, 0x23, 0x0A, 0x42, u"00/И13-67/32"}, DecodeCase{0, 0x23, 0x0A, 0x46, u"00/И13-71/32"},
                      DecodeCase{0, 0x23, 0x0A, 0x47, u"00/И13-72/99"}, DecodeCase{0, 0x23, 0x0A, 0x4E, u"00/И13-79/50"},
                      DecodeCase{0, 0x23, 0x0A, 0x53, u"00/И13-84/50"}, DecodeCase{0, 0x23, 0x0A, 0x54, u"00/И13-85/26"},
                      DecodeCase{0, 0x23, 0x0A, 0x58, u"00/И13-89/26"}, DecodeCase{0, 0x23, 0x0A, 0x59, u"00/И13-90/99"},
                      DecodeCase{0, 0x24, 0x0A, 0x04, u"00/И13-05/51"}, DecodeCase{0, 0x25, 0x0A, 0x04, u"00/И13-05/07"},
                      DecodeCase{0, 0x25, 0x0A, 0x3C, u"00/И13-61/99"}, DecodeCase{0, 0x25, 0x0A, 0x47, u"00/И13-72/48"},
                      DecodeCase{0, 0x25, 0x0A, 0x48, u"00/И13-73/49"}, DecodeCase{0, 0x26, 0x0A, 0x04, u"00/И13-05/24"},
                      DecodeCase{0, 0x27, 0x0A, 0x04, u"00/И13-05/25"}, DecodeCase{0, 0x28, 0x0A, 0x04, u"00/И13-05/03"},
                      DecodeCase{0, 0x29, 0x0A, 0x04, u"00/И13-05/05"}, DecodeCase{0, 0x2A, 0x0A, 0x04, u"00/И13-05/02"},
                      DecodeCase{0, 0x01, 0x0A, 0x04, u"00/И13-05/99"}, DecodeCase{0, 0x1F, 0x0A, 0x04, u"00/И13-05/99"},
                      DecodeCase{0, 0x22, 0x0A, 0x04, u"00/И13-05/99"}, DecodeCase{0, 0x2B, 0x0A, 0x04, u"00/И13-05/99"},
                      DecodeCase{0, 0x7F, 0x0A, 0x04, u"00/И13-05/99"}));

INSTANTIATE_TEST_SUITE_P(
    LowBranchIdentifiers, DecodeFrameTest,
    ::testing::Values(
        // Device 8, line 8: the highest "И" form.
        DecodeCase{2, 0x23, 0x47, 0x00, u"02/И88-01/08"},
        // Relay units: a short form for elements 1 to 8, a long one from 9 on.
        DecodeCase{3, 0x23, 0x4A, 0x04, u"03/B35/01/26"}, DecodeCase{3, 0x23, 0x4A, 0x08, u"03/B31/09/26"},
        DecodeCase{3, 0x26, 0x48, 0x07, u"03/B18/01/24"},
        // Remote units and the fallback form.
        DecodeCase{0, 0x23, 0x52, 0x04, u"00/Т03/05/08"}, DecodeCase{0, 0x24, 0x57, 0x0B, u"00/Т08/12/51"},
        DecodeCase{3, 0x23, 0x58, 0x04, u"03/Xyy/yy/99"}, DecodeCase{3, 0x21, 0xFF, 0x04, u"03/Xyy/yy/99"}));

INSTANTIATE_TEST_SUITE_P(WorkedExamples, DecodeFrameTest,
                         ::testing::Values(DecodeCase{0x01, 0x8A, 0x85, 0x3F, u"01/И06-64/06"},
                                           DecodeCase{0x00, 0x23, 0x0A, 0x04, u"00/И13-05/08"},
                                           DecodeCase{0x01, 0x96, 0x12, 0x3D, u"01/И13-62/32"},
                                           DecodeCase{0x03, 0x22, 0x4A, 0x09, u"03/B31/10/99"},
                                           DecodeCase{0x03, 0x22, 0x4A, 0x08, u"03/B31/09/99"}));

TEST(DecodeFrameTest, WorkedExampleFramesHaveTheirChecksums)
{
    EXPECT_EQ(eventFrame(0x01, 0x8A, 0x85, 0x3F)[6], 0x90);
    EXPECT_EQ(eventFrame(0x00, 0x23, 0x0A, 0x04)[6], 0xAE);
    EXPECT_EQ(eventFrame(0x01, 0x96, 0x12, 0x3D)[6], 0xF9);
    EXPECT_EQ(eventFrame(0x03, 0x22, 0x4A, 0x09)[6], 0x67);
    EXPECT_EQ(eventFrame(0x03, 0x22, 0x4A, 0x08)[6], 0x68);
}

TEST(DecodeFrameTest, HighBranchReducesElementByteInTheFrameItself)
{
    Frame frame = eventFrame(1, 0x8A, 0x12, 0xBF);
    decodeFrame(frame);
    EXPECT_EQ(frame[4], 0x3F);
}

class WideFieldTest : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(WideFieldTest, RecordWithAWideFieldIsNotNominal)
{
    const DecodeCase c = GetParam();
    Frame frame = eventFrame(c.b1, c.b2, c.b3, c.b4);
    const QString record = decodeFrame(frame);
    EXPECT_EQ(record, QString::fromUtf16(c.record));
    EXPECT_FALSE(isNominalRecord(record));
}

INSTANTIATE_TEST_SUITE_P(Fields, WideFieldTest,
                         ::testing::Values(DecodeCase{100, 0x94, 0x12, 0x04, u"100/И13-05/07"},
                                           DecodeCase{1, 0x94, 0x19, 0x04, u"01/И110-05/07"},
                                           DecodeCase{1, 0x94, 0x1F, 0x04, u"01/И116-05/07"},
                                           DecodeCase{1, 0x94, 0x12, 0x63, u"01/И13-100/07"},
                                           DecodeCase{0, 0x23, 0x0A, 0x63, u"00/И13-100/99"},
                                           DecodeCase{3, 0x23, 0x4A, 0xFF, u"03/B31/256/99"},
                                           DecodeCase{0, 0x24, 0x52, 0x63, u"00/Т03/100/51"}));

TEST(DecodeFrameTest, EveryFrameGivesANominalRecordOrAWiderOne)
{
    // Whatever the bytes, a record is never shorter than 12 characters, so a code is never read
    // from the wrong place of a short one.
    for (unsigned b2 = 1; b2 < 256; ++b2)
        for (unsigned b3 = 0; b3 < 256; b3 += 5)
            for (unsigned b4 = 0; b4 < 256; b4 += 3) {
                Frame frame = eventFrame(3, std::uint8_t(b2), std::uint8_t(b3), std::uint8_t(b4));
                ASSERT_GE(decodeFrame(frame).size(), eventRecordLength);
            }
}

} // namespace
} // namespace kirvan
