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

TEST(SystemLocaleTest, WithoutRegionalSettingsJournalDatesTakeTheRussianForm)
{
    const QDateTime moment(QDate(2026, 12, 9), QTime(7, 4, 6));
    EXPECT_EQ(SystemLocale(QLocale::c()).dateTime(moment), QStringLiteral("09.12.2026 7:04:06"));
    EXPECT_EQ(SystemLocale(QLocale(QStringLiteral("POSIX"))).dateTime(moment), QStringLiteral("09.12.2026 7:04:06"));
    // Regional settings that are there keep their own forms.
    EXPECT_EQ(SystemLocale(QLocale(QLocale::English, QLocale::UnitedStates)).shortDate(moment.date()),
              QStringLiteral("12/9/26"));
}

} // namespace
} // namespace kirvan
