#include "events/ActiveConditions.h"
#include "events/AlarmSummary.h"
#include "events/EventServices.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace kirvan::testing {
namespace {

// One scenario a row: steps of the line and the operator, then the list as the operator reads it
// ("word detector", "!" for a row waiting for acknowledgement) and the level the word is lifted to.
struct Scenario {
    const char* name;
    std::vector<const char*> steps;
    const char* list;
    int level;
};

// Steps: "fire|tech|fault|nolink|normal|check|on|off ADDRESS [DETECTOR]", "reset", "ack ROW",
// "ackall", "nosound", "sound", "noreceiver", "empty", "sim ADDRESS DETECTOR" (a simulated fire).
void play(ActiveConditions& model, const QString& step, std::uint64_t& announcements, QDateTime& now)
{
    const QStringList words = step.split(u' ');
    const QString& verb = words[0];
    now = now.addSecs(1);
    if (verb == u"reset")
        return model.alarmReset();
    if (verb == u"ack")
        return void(model.acknowledge(words[1].toInt(), QStringLiteral("Иванов"), now));
    if (verb == u"ackall")
        return void(model.acknowledgeAll({}, now));
    if (verb == u"nosound" || verb == u"sound")
        return model.setWorkstationTrouble(ActiveConditions::Kind::NoSound, verb == u"nosound", {}, now);
    if (verb == u"noreceiver")
        return model.setWorkstationTrouble(ActiveConditions::Kind::NoReceiver, true, QStringLiteral("ПЦН"), now);
    if (verb == u"empty")
        return model.setWorkstationTrouble(ActiveConditions::Kind::NotConfigured, true, {}, now);
    const QHash<QString, std::pair<int, std::optional<int>>> codes{
        {QStringLiteral("fire"), {7, Annunciation::Fire}},
        {QStringLiteral("sim"), {7, Annunciation::Fire}},
        {QStringLiteral("tech"), {51, Annunciation::Technology}},
        {QStringLiteral("fault"), {8, Annunciation::Fault}},
        {QStringLiteral("nolink"), {23, Annunciation::Fault}},
        {QStringLiteral("normal"), {0, {}}},
        {QStringLiteral("check"), {1, {}}},
        {QStringLiteral("on"), {3, {}}},
        {QStringLiteral("off"), {5, {}}}};
    const auto [code, announced] = codes.value(verb);
    if (announced)
        ++announcements;
    const QString detector = words.size() > 2 ? words[2] : QStringLiteral("И01-01");
    const QString record = QStringLiteral("%1/%2/%3").arg(words[1], detector).arg(code, 2, 10, QChar(u'0'));
    model.interpreted({record, code, QStringLiteral("СКЛАД"), QStringLiteral("Зона ") + detector.right(1),
                       QStringLiteral("текст"), now, verb == u"sim", announced, announcements});
}

QString listed(const ActiveConditions& model)
{
    QStringList rows;
    for (const auto& c : model.rows())
        rows << ActiveConditions::wordOf(c.kind) + (c.record.isEmpty() ? QString() : u' ' + c.detector())
                    + (c.acknowledged() ? QString() : QStringLiteral(" !"));
    return rows.join(QStringLiteral("; "));
}

const Scenario scenarios[] = {
    {"fires first, the newest first",
     {"fault 01 И11-01", "fire 01 И12-05", "tech 02 И13-01", "fire 02 И12-06"},
     "ПОЖАР И12-06 !; ПОЖАР И12-05 !; ТЕХНОЛОГИЯ И13-01 !; ОТКАЗ И11-01 !",
     Annunciation::Fire},
    {"a reset leaves the system without link",
     {"fire 01 И12-05", "nolink 02", "reset"},
     "НЕТ СВЯЗИ И01-01 !",
     Annunciation::Fault},
    {"the answer ends the loss", {"fire 01 И12-05", "nolink 02", "reset", "normal 02"}, "", Annunciation::Normal},
    {"a check ends only its own system's",
     {"fire 01 И12-05", "fire 02 И12-06", "check 01"},
     "ПОЖАР И12-06 !",
     Annunciation::Fire},
    {"switched off until switched on",
     {"off 01 И12-05", "fault 01 И12-05", "check 01"},
     "ОТКЛЮЧЕН И12-05",
     Annunciation::Normal},
    {"switching on ends the fault", {"fault 01 И12-05", "off 01 И12-05", "on 01 И12-05"}, "", Annunciation::Normal},
    {"an alarm that comes again waits again",
     {"fire 01 И12-05", "ack 0", "fire 01 И12-05"},
     "ПОЖАР И12-05 !",
     Annunciation::Fire},
    {"acknowledged by row", {"fire 01 И12-05", "fire 01 И12-06", "ack 1"}, "ПОЖАР И12-06 !; ПОЖАР И12-05", Annunciation::Fire},
    {"acknowledged all", {"fire 01 И12-05", "fault 01 И12-06", "ackall"}, "ПОЖАР И12-05; ОТКАЗ И12-06", Annunciation::Fire},
    {"the workstation's troubles need no acknowledgement",
     {"nosound", "empty"},
     "НЕТ ЗВУКА; НЕ НАСТРОЕН",
     Annunciation::Normal},
    {"a sound device back", {"nosound", "sound"}, "", Annunciation::Normal},
    {"a detector switched off lifts nothing, the silent receiving centre listed after it does",
     {"off 01 И12-05", "noreceiver"},
     "ОТКЛЮЧЕН И12-05; ПЦН !",
     Annunciation::Fault},
};

TEST(ActiveConditionsTest, Scenarios)
{
    for (const Scenario& scenario : scenarios) {
        SCOPED_TRACE(scenario.name);
        ActiveConditions model;
        std::uint64_t announcements = 0;
        QDateTime now(QDate(2026, 12, 10), QTime(3, 0));
        for (const char* step : scenario.steps)
            play(model, QString::fromUtf8(step), announcements, now);
        EXPECT_EQ(listed(model).toStdString(), scenario.list);
        EXPECT_EQ(model.level(), scenario.level);
    }
}

// The summary: zones and detectors in fire, the first fire and the newest, and who acknowledged.
TEST(ActiveConditionsTest, SummaryOfTwoZones)
{
    ActiveConditions model;
    std::uint64_t announcements = 0;
    QDateTime now(QDate(2026, 12, 10), QTime(3, 0));
    for (const char* step :
         {"fire 01 И12-05", "fire 01 И13-05", "fire 02 И12-06", "sim 03 И12-07", "ack 3", "off 01 И14-01"})
        play(model, QString::fromUtf8(step), announcements, now);
    const ActiveConditions::Counts counts = model.counts();
    EXPECT_EQ(counts.fireDetectors, 4);
    EXPECT_EQ(counts.fireZones, 3);
    EXPECT_EQ(counts.switchedOff, 1);
    EXPECT_EQ(model.firstFire()->detector(), QStringLiteral("И12-05"));
    EXPECT_EQ(model.newestFire()->detector(), QStringLiteral("И12-07"));
    EXPECT_EQ(model.rows()[3].acknowledgedBy, QStringLiteral("Иванов"));
    EXPECT_TRUE(model.simulation());
    EXPECT_EQ(model.levelOf(QStringLiteral("02")), Annunciation::Fire);
    const QJsonObject remote = QJsonDocument::fromJson(alarmsummary::json(model)).object();
    EXPECT_EQ(remote.value(u"systems").toObject().value(u"02").toString(), QStringLiteral("пожар"));
    EXPECT_EQ(remote.value(u"firstFire").toObject().value(u"detector").toString(), QStringLiteral("И12-05"));
    EXPECT_EQ(remote.value(u"unacknowledged").toInt(), 3);

    // Counted again once rows come or go, not when one comes again.
    for (const auto& [step, fires] : {std::pair{"fire 01 И12-05", 4}, {"fire 01 И15-05", 5}, {"check 02", 4}, {"reset", 0}}) {
        play(model, QString::fromUtf8(step), announcements, now);
        EXPECT_EQ(model.counts().fireDetectors, fires) << step;
    }
}

} // namespace
} // namespace kirvan::testing
