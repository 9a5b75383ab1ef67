#include "window/TreeTextDelegate.h"

#include <QApplication>
#include <QFontMetrics>
#include <gtest/gtest.h>

namespace kirvan::testing {
namespace {

// The room is the width of a text, so that the cases hold for any font.
TEST(TreeTextDelegateTest, CutsTheNameAndNeverTheNumber)
{
    const QFontMetrics metrics(QApplication::font());
    const QString row = QStringLiteral("И01-06 Склад готовой продукции");
    for (const auto& [room, shown] : {std::pair{row, row}, std::pair{QStringLiteral("И01-06 "), QStringLiteral("И01-06 …")},
                                     std::pair{QStringLiteral("И01-0"), QStringLiteral("И01-06 …")}})
        EXPECT_EQ(TreeTextDelegate::elided(row, metrics, metrics.horizontalAdvance(room)), shown) << room.toStdString();
    EXPECT_EQ(TreeTextDelegate::elided(QStringLiteral("A01:СКЛАД"), metrics, 1), QStringLiteral("A01:СКЛАД"));
}

} // namespace
} // namespace kirvan::testing
