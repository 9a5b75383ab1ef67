// Against a real broker: a private mosquitto on a loopback port, started by each test.
#include "remote/MosquittoLink.h"
#include "remote/PublishCursor.h"
#include "remote/RemoteMonitor.h"

#include "journal/JournalLog.h"
#include "platform/StatusBar.h"
#include "tests/support/FixedLocale.h"
#include "tests/support/PrivateBroker.h"
#include "tests/support/RemoteStation.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VirtualMessageLoop.h"

#include <QJsonObject>
#include <chrono>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

namespace kirvan {
namespace {

using testing::PrivateBroker;
using testing::Station;
using namespace std::chrono_literals;

const QString connected = QStringLiteral("MQTT: подключено");
const QString unreachable = QStringLiteral("MQTT: нет связи с сервером");
const QString fire = QStringLiteral("01/И12-05/07 08.12.2023 9:15:02 ПОЖАР: СКЛАД Цех 1");

class BrokerEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!PrivateBroker::available())
            GTEST_SKIP() << "mosquitto, mosquitto_passwd or openssl is not installed";
    }
    // The workstation's side: its journal, status bar and publisher.
    void startWorkstation(const PrivateBroker& broker, const QString& password = {}, const QString& ca = {})
    {
        RemoteSettings settings = Station::settingsFor(broker);
        settings.user = password.isEmpty() ? QString() : QStringLiteral("ws");
        settings.password = password;
        settings.tls = !ca.isEmpty();
        settings.ca = ca;
        settings.prefix = QStringLiteral("kirvan/ws");
        monitor = std::make_unique<RemoteMonitor>(
            settings, RemoteMonitor::Services{
                          loop, locale, statusBar, [this](const QString& text) { logLine(text); },
                          [] {
                              return QMap<QString, QString>{{QStringLiteral("01"), QStringLiteral("СКЛАД")}};
                          },
                          log.logFile().path(), cursorPath(),
                          [](const RemoteSettings& remote) { return std::make_unique<MosquittoLink>(remote); }});
        log.setOnLogged([this] { monitor->lineLogged(); });
    }
    void logLine(const QString& text) { log.logEvent(QStringLiteral("08.12.2023 9:15:02") + text); }
    // Runs the hand-overs of the publisher's thread, which arrive as routines (time itself stays
    // still), until `done` or for `limit` of real time.
    bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 20s)
    {
        for (const auto end = std::chrono::steady_clock::now() + limit;
             !done() && std::chrono::steady_clock::now() < end;) {
            loop.advance(0);
            std::this_thread::sleep_for(10ms);
        }
        return done();
    }
    bool awaitStatus(const QString& text)
    {
        return runUntil([&] { return statusBar.remote() == text; });
    }
    QString cursorPath() const { return folder.file(QStringLiteral("KirvanMonitorP.mqtt")); }

    testing::TempFolder folder;
    testing::VirtualMessageLoop loop;
    testing::FixedLocale locale;
    StatusBar statusBar;
    JournalLog log{folder.file(QStringLiteral("KirvanMonitorP.txt"))};
    std::unique_ptr<RemoteMonitor> monitor;
};

TEST_F(BrokerEndToEndTest, AFireReachesTheStationAndAnOutageLosesNothing)
{
    PrivateBroker broker;
    ASSERT_TRUE(broker.start());
    Station station(broker);
    ASSERT_TRUE(station.awaitConnected());
    startWorkstation(broker);
    ASSERT_TRUE(awaitStatus(connected));
    log.logEvent(fire);
    auto events = station.await(1);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].value(QStringLiteral("text")).toString(), fire);
    EXPECT_EQ(events[0].value(QStringLiteral("system")).toString(), QStringLiteral("СКЛАД"));
    EXPECT_EQ(events[0].value(QStringLiteral("kind")).toString(), QStringLiteral("fire"));

    // A 30-second outage, 100 events spread over it: the link tries again and again, every 8 s
    // at most, meanwhile.
    broker.stop();
    ASSERT_TRUE(awaitStatus(unreachable));
    std::vector<QString> sent{fire, QStringLiteral("08.12.2023 9:15:02  MQTT: НЕТ СВЯЗИ С СЕРВЕРОМ ") + broker.server()};
    for (int i = 0; i < 100; ++i) {
        sent.push_back(QStringLiteral("01/И12-05/08 08.12.2023 9:15:02 ОТКАЗ: СКЛАД %1").arg(i));
        log.logEvent(sent.back());
        runUntil([] { return false; }, 300ms);
    }
    EXPECT_EQ(statusBar.remote(), unreachable);
    ASSERT_TRUE(broker.start());
    ASSERT_TRUE(awaitStatus(connected));
    sent.push_back(QStringLiteral("08.12.2023 9:15:02  MQTT: СВЯЗЬ С СЕРВЕРОМ ") + broker.server()
                   + QStringLiteral(" ВОССТАНОВЛЕНА"));
    // A repeat is dropped by its number; what is left is every line once, in order.
    const std::vector<QJsonObject> once = station.awaitOnce(sent.size());
    std::vector<QString> texts;
    for (const QJsonObject& event : once)
        texts.push_back(event.value(QStringLiteral("text")).toString());
    EXPECT_EQ(texts, sent);
    for (std::size_t i = 1; i < once.size(); ++i)
        EXPECT_EQ(once[i].value(QStringLiteral("seq")).toDouble(),
                  once[i - 1].value(QStringLiteral("seq")).toDouble() + 1);
}

TEST_F(BrokerEndToEndTest, TlsWithTheSitesOwnCertificateAuthorityAndNoOther)
{
    PrivateBroker broker(PrivateBroker::Options{{}, {}, true});
    PrivateBroker stranger(PrivateBroker::Options{{}, {}, true});
    ASSERT_TRUE(broker.start());
    startWorkstation(broker, {}, stranger.caFile());
    const QString outage = QStringLiteral("08.12.2023 9:15:02  MQTT: СЕРТИФИКАТ СЕРВЕРА %1 НЕ ПРИНЯТ").arg(broker.server());
    runUntil([&] { return log.historyList().contains(outage); });
    EXPECT_EQ(log.historyList(), QStringList{outage}) << "a certificate another authority signed is refused";
    EXPECT_EQ(statusBar.remote(), QStringLiteral("MQTT: сертификат сервера не принят"));
    monitor.reset();
    startWorkstation(broker, {}, broker.caFile());
    EXPECT_TRUE(awaitStatus(connected));
}

TEST_F(BrokerEndToEndTest, AWrongPasswordIsToldOnceAndPublishesNothing)
{
    PrivateBroker broker(PrivateBroker::Options{QStringLiteral("ws"), QStringLiteral("secret"), false});
    ASSERT_TRUE(broker.start());
    startWorkstation(broker, QStringLiteral("wrong"));
    ASSERT_TRUE(awaitStatus(QStringLiteral("MQTT: отказ авторизации")));
    const auto cursor = PublishCursor::load(cursorPath());
    log.logEvent(fire);
    // Two more attempts of the link (after 1 s and 2 s) are refused as well.
    runUntil([] { return false; }, 3500ms);
    EXPECT_EQ(log.historyList(),
              (QStringList{QStringLiteral("08.12.2023 9:15:02  MQTT: ОТКАЗ АВТОРИЗАЦИИ НА СЕРВЕРЕ ") + broker.server(),
                           fire}));
    monitor.reset();
    EXPECT_EQ(PublishCursor::load(cursorPath()), cursor) << "nothing was acknowledged";
}

struct UnusableSettingsCase {
    const char *server, *prefix, *status, *line;
};

class RemoteMonitorTest : public ::testing::TestWithParam<UnusableSettingsCase> {};

// Nothing can be published: said in the status bar and the journal from the start, never a link
// that seems up while the broker refuses every topic.
TEST_P(RemoteMonitorTest, SettingsThatCannotWorkAreToldFromTheStart)
{
    testing::VirtualMessageLoop loop;
    testing::FixedLocale locale;
    StatusBar statusBar;
    QStringList lines;
    RemoteSettings settings;
    settings.server = QString::fromUtf8(GetParam().server);
    settings.prefix = QString::fromUtf8(GetParam().prefix);
    if (!parseServer(settings.server, false, settings.host, settings.port))
        settings.host.clear();
    RemoteMonitor monitor(settings, RemoteMonitor::Services{loop,
                                                            locale,
                                                            statusBar,
                                                            [&](const QString& text) { lines << text; },
                                                            [] { return QMap<QString, QString>{}; },
                                                            {},
                                                            {},
                                                            [](const RemoteSettings&) -> std::unique_ptr<BrokerLink> {
                                                                ADD_FAILURE() << "no link";
                                                                return nullptr;
                                                            }});
    EXPECT_EQ(statusBar.remote(), QString::fromUtf8(GetParam().status));
    EXPECT_EQ(lines, QStringList{QString::fromUtf8(GetParam().line)});
}

INSTANTIATE_TEST_SUITE_P(Settings, RemoteMonitorTest,
                         ::testing::Values(UnusableSettingsCase{"broker:http", "kirvan/ws", "MQTT: нет связи с сервером",
                                                                "  MQTT: НЕТ СВЯЗИ С СЕРВЕРОМ broker:http"},
                                           UnusableSettingsCase{
                                               "broker:1883", "kirvan/+", "MQTT: префикс \"kirvan/+\" не годится",
                                               "  MQTT: ПРЕФИКС \"kirvan/+\" НЕ ГОДИТСЯ (В НЁМ ЗНАК ПОДСТАНОВКИ \"+\" "
                                               "ИЛИ \"#\"), ЖУРНАЛ НЕ ПУБЛИКУЕТСЯ"}));

} // namespace
} // namespace kirvan
