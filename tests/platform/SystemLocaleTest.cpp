#include "platform/SystemLocale.h"

#include <gtest/gtest.h>

namespace kirvan {
namespace {

TEST(SystemLocaleTest, LongTimeCarriesNoTimeZoneAndOnlyPlainBlanks)
{
    const SystemLocale locale;
    const QString time = locale.longTime(QTime(17, 40, 11));
    EXPECT_TRUE(time.contains(QStringLiteral("40:11"))) << time.toStdString();
    for (const QChar ch : time)
        EXPECT_TRUE(ch.isDigit() || ch.isLetter() || ch == QLatin1Char(':') || ch == QLatin1Char(' ')
                    || ch == QLatin1Char('.'))
            << time.toStdString();
    EXPECT_FALSE(time.endsWith(QLatin1Char(' ')));
}

} // namespace
} // namespace kirvan
