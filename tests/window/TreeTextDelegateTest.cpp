#include "window/TreeTextDelegate.h"

#include <QApplication>
#include <QFontMetrics>
#include <gtest/gtest.h>

namespace kirvan::testing {
namespace {

// The room is given in the widths of texts, so that the cases hold for any font.
TEST(TreeTextDelegateTest, CutsTheNameAndNeverTheNumber)
{
    const QFontMetrics metrics(QApplication::font());
    const QString row = QStringLiteral("И01-06 Склад готовой продукции");
    const auto room = [&metrics](const char16_t* text) { return metrics.horizontalAdvance(QString::fromUtf16(text)); };
    const struct {
        int width;
        QString shown;
    } cases[] = {
        {room(u"И01-06 Склад готовой продукции"), row},
        {room(u"И01-06 Склад готовой") + 1, metrics.elidedText(row, Qt::ElideRight, room(u"И01-06 Склад готовой") + 1)},
        {room(u"И01-06 "), QStringLiteral("И01-06 …")},
        {room(u"И01-0"), QStringLiteral("И01-06 …")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TreeTextDelegate::elided(row, metrics, c.width), c.shown) << c.width;
    EXPECT_EQ(TreeTextDelegate::elided(QStringLiteral("A01:СКЛАД"), metrics, 1), QStringLiteral("A01:СКЛАД"));
}

} // namespace
} // namespace kirvan::testing
