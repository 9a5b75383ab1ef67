#include "events/StoredConditions.h"

#include <gtest/gtest.h>

namespace kirvan::testing {
namespace {

// Conditions of one second share the time formatted last; each of another second, zone or none
// keeps its own.
TEST(StoredConditionsTest, GivesBackEveryConditionWithItsOwnTimes)
{
    const QDateTime first(QDate(2026, 12, 10), QTime(7, 0, 1, 200), Qt::OffsetFromUTC, 3 * 3600);
    StoredConditions stored{3, {}};
    const auto add = [&stored](const QString& text, const QDateTime& since, const QDateTime& acknowledged) {
        ActiveConditions::Condition c;
        c.record = QStringLiteral("01/И12-05/07");
        c.text = text;
        c.since = since;
        c.acknowledgedAt = acknowledged;
        c.acknowledgedBy = acknowledged.isValid() ? QStringLiteral("Иванов") : QString();
        stored.conditions.push_back(c);
    };
    add(QStringLiteral("ПОЖАР\r\nЗОНА 5"), first, {});
    add(QStringLiteral("ОТКАЗ"), first.addMSecs(700), first.addSecs(1));
    add(QStringLiteral("ОТКАЗ"), first.addSecs(1), {});
    add(QStringLiteral("ОТКАЗ"), first.addSecs(1).toOffsetFromUtc(0), first.addSecs(1));

    const StoredConditions read = StoredConditions::decode(stored.encode());
    ASSERT_EQ(read.conditions.size(), 4u);
    EXPECT_EQ(read.level, 3);
    EXPECT_EQ(read.conditions[0].text, QStringLiteral("ПОЖАР  ЗОНА 5"));
    const QDateTime seconds[] = {first.addMSecs(-200), first.addMSecs(-200), first.addMSecs(800), first.addMSecs(800)};
    for (std::size_t i = 0; i < read.conditions.size(); ++i) {
        EXPECT_EQ(read.conditions[i].since, seconds[i]) << i;
        EXPECT_EQ(read.conditions[i].since.offsetFromUtc(), i == 3 ? 0 : 3 * 3600) << i;
        EXPECT_EQ(read.conditions[i].acknowledged(), i % 2 == 1) << i;
    }
    EXPECT_EQ(read.conditions[1].acknowledgedAt, first.addMSecs(800));
    EXPECT_EQ(read.conditions[1].acknowledgedBy, QStringLiteral("Иванов"));
}
} // namespace
} // namespace kirvan::testing
