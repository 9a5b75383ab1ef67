#include "platform/DisplayScale.h"

#include <gtest/gtest.h>

namespace kirvan::testing {
namespace {

struct ScreenCase {
    const char* name;
    QSize pixels;
    QSizeF millimetres;
    const char16_t* setting;
    double scale;
};

class DisplayScaleTest : public ::testing::TestWithParam<ScreenCase> {};

// The table's capitals about 4 mm, or the installer's "Масштаб", as far as the screen holds the window.
TEST_P(DisplayScaleTest, FollowsTheLettersOrTheSettingWithinWhatTheScreenHolds)
{
    const ScreenCase& c = GetParam();
    EXPECT_DOUBLE_EQ(displayscale::chosen(QString::fromUtf16(c.setting), displayscale::byScreen(c.pixels, c.millimetres),
                                          displayscale::largestFor(c.pixels)),
                     c.scale);
}

INSTANTIATE_TEST_SUITE_P(
    Screens, DisplayScaleTest,
    ::testing::Values(ScreenCase{"Wide24Inches", {1920, 1080}, {531, 299}, u"", 1.7},
                      // Its letters could be larger, but then the status word would go under the buttons.
                      ScreenCase{"Square19Inches", {1280, 1024}, {376, 301}, u"", 1.4},
                      ScreenCase{"Square19InchesLargest", {1280, 1024}, {376, 301}, u"3", 1.4},
                      ScreenCase{"Wide24InchesLargest", {1920, 1080}, {531, 299}, u"3", 2.0},
                      ScreenCase{"Wide24InchesSmaller", {1920, 1080}, {531, 299}, u"1,25", 1.25},
                      // A fine 4K screen of 27 inches: its pixels are small, its letters must not be.
                      ScreenCase{"Fine27Inches", {3840, 2160}, {597, 336}, u"", 3.0},
                      // A projector or a virtual screen says nothing sensible of its size.
                      ScreenCase{"SizeUnknown", {1600, 900}, {0, 0}, u"", 1.7},
                      ScreenCase{"SizeNonsense", {1600, 900}, {5, 4}, u"", 1.7},
                      ScreenCase{"Small", {1024, 768}, {0, 0}, u"", 1.1},
                      ScreenCase{"SmallerThanTheDesign", {800, 480}, {0, 0}, u"2", 1.0}),
    [](const auto& test) { return std::string(test.param.name); });

TEST(DisplayScaleChosenTest, TheSettingHoldsWithinItsRangeOtherwiseTheScreensChoice)
{
    const struct {
        const char16_t* setting;
        double scale;
    } cases[] = {{u"", 1.7},  {u"0", 1.7},   {u"1,5", 1.5}, {u"1.25", 1.25},  {u" 2 ", 2.0},
                 {u"1", 1.0}, {u"3,5", 1.7}, {u"0,5", 1.7}, {u"большой", 1.7}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(displayscale::chosen(QString::fromUtf16(c.setting), 1.7), c.scale)
            << QString::fromUtf16(c.setting).toStdString();
}

TEST(MainWindowPlaceTest, TheFrameLiesWithinTheAreaAndTheMinimumHolds)
{
    const QSize minimum(960, 670);
    const QMargins titleBar(4, 30, 4, 4);
    // A panel of the desktop takes 40 pixels below.
    const QRect available(0, 0, 1920, 1040);
    const QRect client = mainWindowPlace(available, titleBar, minimum);
    EXPECT_TRUE(available.contains(client.marginsAdded(titleBar)));
    EXPECT_EQ(client.size(), QSize(1920 - 8 - 70, 1040 - 34 - 60));
    EXPECT_LE((client.marginsAdded(titleBar).center() - available.center()).manhattanLength(), 2);
    EXPECT_EQ(mainWindowPlace(QRect(0, 0, 800, 600), titleBar, minimum).size(), minimum);
}

} // namespace
} // namespace kirvan::testing
