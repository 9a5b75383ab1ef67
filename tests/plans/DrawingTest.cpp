#include "plans/decoder/Drawing.h"

#include <gtest/gtest.h>

namespace kirvan::testing {
namespace {

TEST(DrawingTest, AnSvgPlanKeepsOnlyReferencesIntoItself)
{
    const QByteArray svg
        = "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" viewBox=\"0 0 10 10\">"
          "<defs><rect id=\"r\" width=\"4\" height=\"4\"/></defs>"
          "<use xlink:href=\"#r\"/>"
          "<image href=\"data:image/png;base64,AAAA\" width=\"1\" height=\"1\"/>"
          "<image xlink:href=\"/dev/zero\" width=\"1\" height=\"1\"/>"
          "<image href=\" file:///etc/passwd\" width=\"1\" height=\"1\"/>"
          "<image xlink:href=\"../plans/other.svg\" width=\"1\" height=\"1\"/>"
          "<text x=\"1\" y=\"8\">Цех &amp; склад</text></svg>";
    const std::optional<QByteArray> closed = drawing::withoutOutsideReferences(svg);
    ASSERT_TRUE(closed);
    EXPECT_TRUE(closed->contains("xlink:href=\"#r\""));
    EXPECT_TRUE(closed->contains("href=\"data:image/png;base64,AAAA\""));
    EXPECT_FALSE(closed->contains("/dev/zero"));
    EXPECT_FALSE(closed->contains("passwd"));
    EXPECT_FALSE(closed->contains("other.svg"));
    EXPECT_TRUE(closed->contains("Цех &amp; склад"));
    EXPECT_TRUE(closed->contains("xmlns:xlink="));
    EXPECT_FALSE(drawing::withoutOutsideReferences("<svg><rect></svg>")) << "not well-formed";
}

} // namespace
} // namespace kirvan::testing
