#include "icons/StateIcons.h"

#include <QColor>
#include <QGuiApplication>
#include <QRect>
#include <array>
#include <gtest/gtest.h>

namespace kirvan {
namespace {

enum class Hue { None, Red, Yellow, Green, Blue, Other };

Hue hueOf(const QColor& colour)
{
    const float hue = colour.hsvHueF() * 360;
    if (hue < 20 || hue >= 340)
        return Hue::Red;
    if (hue >= 35 && hue < 70)
        return Hue::Yellow;
    if (hue >= 90 && hue < 160)
        return Hue::Green;
    if (hue >= 190 && hue < 250)
        return Hue::Blue;
    return Hue::Other;
}

// How many strongly coloured opaque pixels of `area` have each hue.
std::array<int, 6> hueCounts(const QImage& image, const QRect& area)
{
    std::array<int, 6> counts{};
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            if (colour.alpha() >= 200 && colour.hsvSaturationF() >= 0.5f && colour.valueF() >= 0.4f)
                ++counts[static_cast<std::size_t>(hueOf(colour))];
        }
    }
    return counts;
}

int pixelsOfHue(const QImage& image, const QRect& area, Hue hue)
{
    return hueCounts(image, area)[static_cast<std::size_t>(hue)];
}

// The hue most of the strongly coloured pixels of `area` have; None when the area has hardly any
// colour (grey, black and white only).
Hue dominantHue(const QImage& image, const QRect& area)
{
    const std::array<int, 6> counts = hueCounts(image, area);
    std::size_t best = 0;
    for (std::size_t hue = 1; hue < counts.size(); ++hue) {
        if (counts[hue] > counts[best])
            best = hue;
    }
    return counts[best] >= 3 ? static_cast<Hue>(best) : Hue::None;
}

Hue dominantHue(int index)
{
    const QImage image = stateIconImage(index, 16);
    return dominantHue(image, image.rect());
}

int pixelsWithAlpha(const QImage& image, int low, int high)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int alpha = image.pixelColor(x, y).alpha();
            count += alpha >= low && alpha <= high ? 1 : 0;
        }
    }
    return count;
}

TEST(StateIconsTest, EveryPictureIsSquareTransparentAroundAndVisible)
{
    for (int index = 0; index < StateIconCount; ++index) {
        for (const int size : {16, 24, 32, 48}) {
            SCOPED_TRACE(testing::Message() << "picture " << index << " at " << size);
            const QImage image = stateIconImage(index, size);
            ASSERT_FALSE(image.isNull());
            EXPECT_EQ(image.size(), QSize(size, size));
            EXPECT_TRUE(image.hasAlphaChannel());
            const int last = size - 1;
            for (const QPoint corner : {QPoint(0, 0), QPoint(last, 0), QPoint(0, last), QPoint(last, last)})
                EXPECT_EQ(image.pixelColor(corner).alpha(), 0);
            EXPECT_GE(pixelsWithAlpha(image, 128, 255), size * size / 10);
        }
    }
}

TEST(StateIconsTest, ColoursCarryTheMeaning)
{
    // Light bulbs: the rays of the lit ones, none on the unlit and the failed one.
    EXPECT_EQ(dominantHue(15), Hue::Yellow);
    EXPECT_EQ(dominantHue(17), Hue::Red);
    EXPECT_EQ(dominantHue(27), Hue::Blue);
    EXPECT_EQ(dominantHue(16), Hue::None);
    EXPECT_EQ(dominantHue(19), Hue::None);
    // Circular lamps of the systems.
    EXPECT_EQ(dominantHue(22), Hue::Green);
    EXPECT_EQ(dominantHue(23), Hue::None);
    EXPECT_EQ(dominantHue(24), Hue::Yellow);
    EXPECT_EQ(dominantHue(25), Hue::Red);
    // Keys.
    EXPECT_EQ(dominantHue(13), Hue::Yellow);
    EXPECT_EQ(dominantHue(14), Hue::None);
    EXPECT_EQ(dominantHue(18), Hue::Red);
    EXPECT_EQ(dominantHue(20), Hue::None);
    // Commands.
    EXPECT_EQ(dominantHue(2), Hue::Red);
    EXPECT_EQ(dominantHue(4), Hue::Red);
    EXPECT_EQ(dominantHue(6), Hue::Red);
    EXPECT_EQ(dominantHue(8), Hue::Blue);
}

TEST(StateIconsTest, ArrowsAreBlueWithTheRedSignInTheUpperCornerBehindThem)
{
    const QImage in = stateIconImage(9, 16);
    EXPECT_EQ(dominantHue(in, QRect(0, 0, 8, 8)), Hue::Red);
    EXPECT_EQ(pixelsOfHue(in, QRect(8, 0, 8, 8), Hue::Red), 0);
    EXPECT_EQ(dominantHue(in, QRect(0, 8, 16, 8)), Hue::Blue);
    const QImage out = stateIconImage(21, 16);
    EXPECT_EQ(dominantHue(out, QRect(8, 0, 8, 8)), Hue::Red);
    EXPECT_EQ(pixelsOfHue(out, QRect(0, 0, 8, 8), Hue::Red), 0);
    EXPECT_EQ(dominantHue(out, QRect(0, 8, 16, 8)), Hue::Blue);
    // The arrow points the other way and the sign is a minus, not a mirrored plus.
    EXPECT_NE(out, in.mirrored(true, false));
    EXPECT_GT(pixelsWithAlpha(in.copy(0, 0, 8, 8), 200, 255), pixelsWithAlpha(out.copy(8, 0, 8, 8), 200, 255));
}

TEST(StateIconsTest, NoTwoPicturesAreAlike)
{
    for (int first = 0; first < StateIconCount; ++first) {
        const QImage image = stateIconImage(first, 16);
        for (int second = first + 1; second < StateIconCount; ++second)
            EXPECT_NE(image, stateIconImage(second, 16)) << first << " and " << second;
    }
}

TEST(StateIconsTest, EdgesOfRectangularPicturesLieOnThePixelGrid)
{
    // The card box, the calculator and the printer are built of rectangles only: at 16 pixels and
    // its multiples no pixel may be partly covered, or the picture has slipped off the grid.
    for (const int index : {3, 11, 26}) {
        for (const int size : {16, 32, 48}) {
            SCOPED_TRACE(testing::Message() << "picture " << index << " at " << size);
            EXPECT_EQ(pixelsWithAlpha(stateIconImage(index, size), 1, 254), 0);
        }
    }
}

TEST(StateIconsTest, IndicesOutsideTheListGiveNothing)
{
    EXPECT_TRUE(stateIconImage(-1, 16).isNull());
    EXPECT_TRUE(stateIconImage(StateIconCount, 16).isNull());
    EXPECT_TRUE(stateIconImage(0, 0).isNull());
    EXPECT_TRUE(stateIconPixmap(-1, 16, 1).isNull());
    EXPECT_TRUE(stateIconPixmap(StateIconCount, 16, 2).isNull());
    EXPECT_TRUE(stateIcon(-1).isNull());
    EXPECT_TRUE(stateIcon(StateIconCount).isNull());
}

TEST(StateIconsTest, IconOffersEverySizeDrawnForItsScreen)
{
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr)
        GTEST_SKIP() << "pixmaps need a QGuiApplication";
    const QIcon icon = stateIcon(22);
    ASSERT_FALSE(icon.isNull());
    for (const int size : {16, 24, 32, 48})
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
    // At 200 % the 16-pixel picture is the one drawn for 32 pixels, not the small one magnified.
    const QPixmap sharp = icon.pixmap(QSize(16, 16), 2.0);
    EXPECT_EQ(sharp.deviceIndependentSize(), QSizeF(16, 16));
    EXPECT_EQ(sharp.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied), stateIconImage(22, 32));
    const QPixmap drawn = stateIconPixmap(22, 24, 2.0);
    EXPECT_EQ(drawn.size(), QSize(48, 48));
    EXPECT_EQ(drawn.devicePixelRatio(), 2.0);
}

} // namespace
} // namespace kirvan
