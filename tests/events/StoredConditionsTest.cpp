#include "events/StoredConditions.h"

#include <gtest/gtest.h>

namespace kirvan::testing {
namespace {

// Conditions of one second share the time formatted last; another second or zone has its own.
TEST(StoredConditionsTest, GivesBackEachConditionsOwnTimes)
{
    const QDateTime first(QDate(2026, 12, 10), QTime(7, 0, 1, 200), Qt::OffsetFromUTC, 3 * 3600);
    const QDateTime times[] = {first, first.addMSecs(700), first.addSecs(1), first.addSecs(1).toOffsetFromUtc(0)};
    StoredConditions stored{3, {}};
    for (const QDateTime& since : times) {
        ActiveConditions::Condition c;
        c.record = QStringLiteral("01/И12-05/07");
        c.text = QStringLiteral("ПОЖАР\r\nЗОНА 5");
        c.since = since;
        c.acknowledgedAt = stored.conditions.size() == 1 ? since : QDateTime();
        stored.conditions.push_back(c);
    }
    const StoredConditions read = StoredConditions::decode(stored.encode());
    ASSERT_EQ(read.conditions.size(), 4u);
    EXPECT_EQ(read.conditions[0].text, QStringLiteral("ПОЖАР  ЗОНА 5"));
    for (std::size_t i = 0; i < read.conditions.size(); ++i) {
        EXPECT_EQ(read.conditions[i].since, times[i].addMSecs(-times[i].time().msec())) << i;
        EXPECT_EQ(read.conditions[i].since.offsetFromUtc(), times[i].offsetFromUtc()) << i;
        EXPECT_EQ(read.conditions[i].acknowledgedAt, i == 1 ? read.conditions[1].since : QDateTime()) << i;
    }
}

} // namespace
} // namespace kirvan::testing
