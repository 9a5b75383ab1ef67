#include "remote/EventMessage.h"
#include "remote/EventWatch.h"
#include "remote/RemoteSettings.h"
#include "remote/SystemStates.h"

#include "files/Cp1251.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>

namespace kirvan {
namespace {

class RemoteMessageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Moscow time, without daylight saving: the offset is the same at every date.
        ::setenv("TZ", "MSK-3", 1);
        ::tzset();
    }
    EventMessage message(const QString& line, std::uint64_t sequence = 7) const
    {
        return EventMessage(sequence, cp1251::encode(line).bytes, JournalDateOrder(0, 1, 2),
                            [] { return QDateTime(QDate(2024, 1, 2), QTime(3, 4, 5)); });
    }
};

TEST_F(RemoteMessageTest, EachLineBecomesOneMessageWithItsPartsKindAndTime)
{
    struct Case {
        const char16_t* line;
        const char *address, *detector, *code, *kind, *time;
    };
    const Case cases[] = {
        {u"01/И12-05/07 08.12.2023 9:15:02 ПОЖАР: СКЛАД Цех 1", "01", "И12-05", "07", "fire", "2023-12-08T09:15:02+03:00"},
        {u"01/И12-05/08 08.12.2023 9:15:03 ОТКАЗ: СКЛАД Цех 1", "01", "И12-05", "08", "fault",
         "2023-12-08T09:15:03+03:00"},
        {u"02/И11-01/07 08.12.2023 9:15:04 ТЕХНОЛОГ: СКЛАД Насос", "02", "И11-01", "07", "technology",
         "2023-12-08T09:15:04+03:00"},
        {u"00/И01-01/23 08.12.2023 9:15:05 ОТКАЗ: ЦЕХ НЕТ СВЯЗИ", "00", "И01-01", "23", "link",
         "2023-12-08T09:15:05+03:00"},
        {u"00/И01-01/00 08.12.2023 9:15:06 ЦЕХ: НОРМА", "00", "И01-01", "00", "restoration", "2023-12-08T09:15:06+03:00"},
        // The panel's own report is no operator's action; a simulated fire is no fire.
        {u"01/И12-05/05 08.12.2023 9:15:07 СКЛАД: ОТКЛЮЧЕН", "01", "И12-05", "05", "other", "2023-12-08T09:15:07+03:00"},
        {u"01/И12-05/07 08.12.2023 9:15:08 ПОЖАР: СКЛАД ИМИТАЦИЯ Цех 1", "01", "И12-05", "07", "simulation",
         "2023-12-08T09:15:08+03:00"},
        {u"08.12.2023 9:15:09 СИСТЕМА A01:СКЛАД ВВЕДЕНА В СОСТАВ КОМПЛЕКСА", "", "", "", "operator",
         "2023-12-08T09:15:09+03:00"},
        {u"08.12.2023 17:40:10  ВХОД ОПЕРАТОРА: Иванов", "", "", "", "operator", "2023-12-08T17:40:10+03:00"},
        {u"08.12.2023 17:40:11  КОМПЛЕКС КИРВАН ВЫКЛЮЧЕН", "", "", "", "startstop", "2023-12-08T17:40:11+03:00"},
        {u"08.12.2023 17:40:12  MQTT: НЕТ СВЯЗИ С СЕРВЕРОМ a:1", "", "", "", "other", "2023-12-08T17:40:12+03:00"},
        // A line without a date takes the moment it was read.
        {u"что-то без даты", "", "", "", "other", "2024-01-02T03:04:05+03:00"},
    };
    for (const Case& c : cases) {
        const QString line = QString::fromUtf16(c.line);
        EventMessage event = message(line);
        event.setSystemName(QStringLiteral("СКЛАД"));
        const QJsonObject expected{{QStringLiteral("seq"), 7.0},
                                   {QStringLiteral("text"), line},
                                   {QStringLiteral("address"), QLatin1String(c.address)},
                                   {QStringLiteral("detector"), QString::fromUtf8(c.detector)},
                                   {QStringLiteral("code"), QLatin1String(c.code)},
                                   {QStringLiteral("kind"), QLatin1String(c.kind)},
                                   {QStringLiteral("time"), QLatin1String(c.time)},
                                   {QStringLiteral("system"), QStringLiteral("СКЛАД")}};
        EXPECT_EQ(QJsonDocument::fromJson(event.json()).object(), expected) << line.toStdString();
    }
}

TEST_F(RemoteMessageTest, SystemStatesFollowTheActiveConditions)
{
    QStringList systems{QStringLiteral("00"), QStringLiteral("01")};
    SystemStates states([&systems] { return systems; });
    const auto change = [](const char* address, const char16_t* state) {
        return SystemStates::Change{QLatin1String(address), QString::fromUtf16(state)};
    };
    const auto active = [](std::initializer_list<std::pair<const char*, const char16_t*>> pairs) {
        QMap<QString, QString> map;
        for (const auto& [address, state] : pairs)
            map.insert(QLatin1String(address), QString::fromUtf16(state));
        return map;
    };
    EXPECT_EQ(states.follow({}), (std::vector<SystemStates::Change>{change("00", u"норма"), change("01", u"норма")}));
    EXPECT_EQ(states.follow(active({{"01", u"пожар"}, {"02", u"отказ"}})),
              std::vector<SystemStates::Change>{change("01", u"пожар")});
    EXPECT_EQ(states.follow(active({{"01", u"пожар"}})), std::vector<SystemStates::Change>{});
    // A new connection hears every address; a system removed meanwhile is cleared.
    systems.removeOne(QStringLiteral("00"));
    EXPECT_EQ(states.all(), (std::vector<SystemStates::Change>{change("00", u""), change("01", u"пожар"),
                                                               change("02", u""), change("03", u"")}));
    EXPECT_EQ(states.follow({}), (std::vector<SystemStates::Change>{change("00", u""), change("01", u"норма")}));
}

TEST_F(RemoteMessageTest, TheWatchShowsEachEventOnceAsALineOrAsItself)
{
    const QByteArray first = message(QStringLiteral("08.12.2023 9:00:00  КОМПЛЕКС КИРВАН ВКЛЮЧЕН"), 10).json();
    const QByteArray second = message(QStringLiteral("08.12.2023 9:00:01  КОМПЛЕКС КИРВАН ВЫКЛЮЧЕН"), 11).json();
    EventWatch lines(QStringLiteral("kirvan/+"), EventWatch::Form::Line);
    EXPECT_EQ(lines.subscription(), QStringLiteral("kirvan/+/event"));
    EXPECT_EQ(lines.take(QStringLiteral("kirvan/a/event"), first),
              QStringLiteral("kirvan/a: 08.12.2023 9:00:00  КОМПЛЕКС КИРВАН ВКЛЮЧЕН"));
    EXPECT_TRUE(lines.take(QStringLiteral("kirvan/b/event"), first)) << "another workstation";
    EXPECT_EQ(lines.take(QStringLiteral("kirvan/a/event"), first), std::nullopt) << "a repeat";
    EXPECT_EQ(lines.take(QStringLiteral("kirvan/a/status"), "online"), std::nullopt);
    EventWatch json(QStringLiteral("kirvan/a"), EventWatch::Form::Json);
    EXPECT_EQ(json.take(QStringLiteral("kirvan/a/event"), second), QString::fromUtf8(second));
}

// A prefix no broker takes as a topic (the README's watch example "kirvan/+" copied) is refused;
// the default stands in for any host name.
TEST(RemoteSettingsTest, APrefixThatIsNoTopicIsRefusedAndTheDefaultAlwaysIsOne)
{
    for (const char* bad : {"kirvan/+", "kirvan/#", "kirvan//ws", "/kirvan", "$SYS/ws", ""})
        EXPECT_TRUE(prefixProblem(QLatin1String(bad))) << bad;
    EXPECT_FALSE(prefixProblem(QStringLiteral("kirvan/склад-1")));
    EXPECT_EQ(defaultPrefix(QStringLiteral("a/b+c#d")), QStringLiteral("kirvan/a_b_c_d"));
    EXPECT_FALSE(prefixProblem(defaultPrefix({})));
}

TEST(RemoteSettingsTest, ServerGivesHostAndPort)
{
    struct Case {
        const char* server;
        bool tls, valid;
        const char* host;
        int port;
    };
    const Case cases[] = {
        {"broker.local:1884", false, true, "broker.local", 1884},
        {"broker.local", false, true, "broker.local", 1883},
        {"broker.local", true, true, "broker.local", 8883},
        {"[::1]:1885", false, true, "::1", 1885},
        {"::1", false, true, "::1", 1883},
        {"broker:0", false, false, "broker", 0},
        {"broker:x", false, false, "broker", 0},
        {":1883", false, false, "", 1883},
    };
    for (const Case& c : cases) {
        QString host;
        int port = 0;
        EXPECT_EQ(parseServer(QLatin1String(c.server), c.tls, host, port), c.valid) << c.server;
        if (c.valid) {
            EXPECT_EQ(host, QLatin1String(c.host)) << c.server;
            EXPECT_EQ(port, c.port) << c.server;
        }
    }
}

} // namespace
} // namespace kirvan
