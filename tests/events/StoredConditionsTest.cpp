#include "events/StoredConditions.h"

#include <gtest/gtest.h>
#include <functional>

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

// Written again after changes, the state is what a first writing of it gives.
TEST(StoredConditionsTest, WrittenAgainAsWrittenFirst)
{
    const QDateTime now(QDate(2026, 12, 10), QTime(7, 0, 1));
    std::vector<ActiveConditions::Condition> conditions;
    for (int n = 0; n < 4; ++n)
        conditions.push_back({ActiveConditions::Kind::Fire, QStringLiteral("01/И12-0%1/07").arg(n), QStringLiteral("А"),
                              QStringLiteral("ЗОНА %1").arg(n), QStringLiteral("ПОЖАР"), now.addSecs(n), false, 0, {}, {}});
    conditions.push_back({ActiveConditions::Kind::NoSound, {}, {}, {}, QStringLiteral("НЕТ ЗВУКА"), now, false, 0, {}, {}});
    const std::function<void(std::vector<ActiveConditions::Condition>&)> changes[] = {
        [&](auto& c) { c[0].acknowledgedAt = now.addSecs(9); },
        [&](auto& c) { c[1].acknowledgedBy = QStringLiteral("Иванов"); },
        [&](auto& c) { c[2].text += QStringLiteral(" 2"); },
        [&](auto& c) { c[3].since = now.addSecs(-5); },
        [&](auto& c) { c[3].since = c[3].since.toOffsetFromUtc(3600); },
        [&](auto& c) { c[3].simulated = true; },
        [&](auto& c) { c[2].kind = ActiveConditions::Kind::Fault; },
        [&](auto& c) { c[4].text = QStringLiteral("ПЦН"); },
        [&](auto& c) { c.insert(c.begin(), c[1]); },
    };
    StoredStateEncoder encoder;
    encoder.encode(2, conditions);
    for (std::size_t n = 0; n < std::size(changes); ++n) {
        changes[n](conditions);
        EXPECT_EQ(encoder.encode(2, conditions), (StoredConditions{2, conditions}.encode())) << n;
    }
}

} // namespace
} // namespace kirvan::testing
