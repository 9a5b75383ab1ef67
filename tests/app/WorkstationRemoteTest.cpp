// The workstation on the demo's own composition and settings, publishing to a private broker.
#include "tests/app/WorkstationFixture.h"

#include "complex/CompositionTree.h"
#include "files/Cp1251.h"
#include "tests/support/RemoteStation.h"

#include <QJsonObject>
#include <QProcess>
#include <chrono>
#include <mutex>
#include <thread>

namespace kirvan::testing {
namespace {

class WorkstationRemoteTest : public WorkstationFixture {
protected:
    // Every message of the workstation's topics as a subscriber gets it, retained ones first.
    struct Subscriber {
        explicit Subscriber(const PrivateBroker& broker) : link(Station::settingsFor(broker), QStringLiteral("desk"))
        {
            link.start(BrokerLink::Handlers{{},
                                            {},
                                            [this](const QString& topic, const QByteArray& payload) {
                                                std::lock_guard lock(mutex);
                                                messages.emplace_back(topic, payload);
                                            }},
                       {}, {}, {QStringLiteral("kirvan/ws/#")});
        }
        // The last payload of the topic, or nothing.
        std::optional<QByteArray> last(const QString& topic)
        {
            std::lock_guard lock(mutex);
            for (auto message = messages.rbegin(); message != messages.rend(); ++message)
                if (message->first == topic)
                    return message->second;
            return std::nullopt;
        }
        std::vector<QJsonObject> events()
        {
            std::lock_guard lock(mutex);
            std::vector<QJsonObject> events;
            for (const auto& [topic, payload] : messages)
                if (topic == QStringLiteral("kirvan/ws/event"))
                    events.push_back(QJsonDocument::fromJson(payload).object());
            return events;
        }
        std::mutex mutex;
        std::vector<std::pair<QString, QByteArray>> messages;
        // Last, so its network thread stops before what its handler fills is gone.
        MosquittoLink link;
    };

    bool runUntil(const std::function<bool()>& done)
    {
        for (const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
             !done() && std::chrono::steady_clock::now() < end;) {
            loop.advance(0);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return done();
    }
};

TEST_F(WorkstationRemoteTest, TheDemoPublishesTheTreesNamesSimulationsApartAndNoPhantomState)
{
    if (!PrivateBroker::available())
        GTEST_SKIP() << "mosquitto is not installed";
    PrivateBroker broker;
    ASSERT_TRUE(broker.start());
    {
        // A system at address 03 once, its state still retained by the broker.
        Subscriber before(broker);
        before.link.publish(QStringLiteral("kirvan/ws/state/03"), QStringLiteral("технология").toUtf8(), true);
        ASSERT_TRUE(runUntil([&] { return before.last(QStringLiteral("kirvan/ws/state/03")).has_value(); }));
    }
    ASSERT_EQ(QProcess::execute(QStringLiteral("cp"),
                                {QStringLiteral("-r"), QStringLiteral(KIRVAN_DEMO_FOLDER "/."), folder.path()}),
              0);
    const QString ini = QStringLiteral("KirvanMonitorP.ini");
    folder.write(
        ini,
        folder.read(ini)
            + cp1251::encode(QStringLiteral("[MQTT]\r\nСервер=%1\r\nПрефикс=kirvan/ws\r\n").arg(broker.server())).bytes);
    auto workstation = startWorkstation();
    ASSERT_TRUE(runUntil([&] { return workstation->statusBar().remote() == QStringLiteral("MQTT: подключено"); }));
    Subscriber desk(broker);

    workstation->dispatcher().processEvent(QStringLiteral("01/И12-05/07"));
    workstation->tree().select(workstation->tree().topLevel()[1]->children()[0]->children()[0].get());
    workstation->commands().simulateFire();
    // Each alarm line as "system kind".
    const auto alarms = [&] {
        QStringList lines;
        for (const QJsonObject& event : desk.events())
            if (event.value(QStringLiteral("code")).toString() == QStringLiteral("07"))
                lines << event.value(QStringLiteral("system")).toString() + u' '
                             + event.value(QStringLiteral("kind")).toString();
        return lines;
    };
    ASSERT_TRUE(runUntil([&] { return alarms().size() >= 2; })) << desk.events().size();
    EXPECT_EQ(alarms(), QStringList({QStringLiteral("СКЛАД fire"), QStringLiteral("ОФИС simulation")}));
    EXPECT_TRUE(runUntil([&] {
        return desk.last(QStringLiteral("kirvan/ws/state/01")) == QStringLiteral("пожар").toUtf8()
               && desk.last(QStringLiteral("kirvan/ws/state/02")) == QStringLiteral("норма").toUtf8();
    }));
    EXPECT_EQ(desk.last(QStringLiteral("kirvan/ws/state/03")).value_or(QByteArray()), QByteArray()) << "cleared";
}

} // namespace
} // namespace kirvan::testing
