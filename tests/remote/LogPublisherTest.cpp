#include "remote/LogPublisher.h"

#include "journal/LogFile.h"
#include "tests/support/RecordingBrokerLink.h"
#include "tests/support/TempFolder.h"

#include <QFile>
#include <gtest/gtest.h>

namespace kirvan {
namespace {

using testing::RecordingBrokerLink;
using State = BrokerLink::State;
using Numbered = std::vector<std::pair<int, double>>;

constexpr std::int64_t startMs = 1'700'000'000'000;

// The number each event text ends with, and its sequence number less the first one.
Numbered numbered(const RecordingBrokerLink& link)
{
    Numbered result;
    for (const QJsonObject& event : link.events())
        result.emplace_back(event.value(QStringLiteral("text")).toString().section(QLatin1Char(' '), -1).toInt(),
                            event.value(QStringLiteral("seq")).toDouble() - double(startMs));
    return result;
}
Numbered expected(int first, int count, double firstSequence)
{
    Numbered result;
    for (int i = 0; i < count; ++i)
        result.emplace_back(first + i, firstSequence + i);
    return result;
}

class LogPublisherTest : public ::testing::Test {
protected:
    // A publisher with its link, connected from the start.
    struct Running {
        explicit Running(const LogPublisher::Setup& setup, std::int64_t now) : publisher(link, setup)
        {
            publisher.linkState(State::Connected, now);
        }
        Numbered pump(std::int64_t now)
        {
            publisher.pump(now);
            return numbered(link);
        }
        void acknowledgeAll()
        {
            for (const auto& message : link.sent())
                publisher.acknowledged(message.id);
        }
        RecordingBrokerLink link;
        LogPublisher publisher;
    };

    QString logPath() const { return folder.file(QStringLiteral("KirvanMonitorP.txt")); }
    LogPublisher::Setup setup() const
    {
        LogPublisher::Setup setup;
        setup.logPath = logPath();
        setup.cursorPath = folder.file(QStringLiteral("KirvanMonitorP.mqtt"));
        setup.prefix = QStringLiteral("kirvan/ws");
        setup.systemName = [](const QString&) { return QStringLiteral("СКЛАД"); };
        setup.systems = [] { return QStringList{QStringLiteral("01")}; };
        setup.now = [] { return QDateTime::fromMSecsSinceEpoch(startMs); };
        return setup;
    }
    void log(int first, int count)
    {
        LogFile file(logPath());
        for (int i = first; i < first + count; ++i)
            file.append(QStringLiteral("01/И12-05/08 08.12.2023 9:15:02 ОТКАЗ: СКЛАД %1").arg(i));
    }
    testing::TempFolder folder;
    std::int64_t now = 0;
};

// What a restart finds: the log as it was, or a new one where the old one was lost.
struct RestartCase {
    bool logLost;
    Numbered afterRestart;
};

class LogPublisherRestartTest : public LogPublisherTest, public ::testing::WithParamInterface<RestartCase> {};

TEST_P(LogPublisherRestartTest, PublishesNewLinesInOrderAndARestartNeverGivesANumberAgain)
{
    log(0, 3); // before the first start: not published
    {
        Running run(setup(), now);
        log(3, 5);
        EXPECT_EQ(run.pump(now), expected(3, 5, 0));
        EXPECT_EQ(run.link.sent().front().topic, QStringLiteral("kirvan/ws/status"));
        EXPECT_EQ(run.link.sent().front().payload, QByteArray("online"));
        std::vector<int> events;
        for (const auto& message : run.link.sent())
            if (message.topic.endsWith(QStringLiteral("/event")))
                events.push_back(message.id);
        run.publisher.acknowledged(events[0]);
        run.publisher.acknowledged(events[2]); // a later one alone moves nothing
        run.publisher.pump(now += 1000);
        EXPECT_EQ(run.publisher.acknowledgedCursor().sequence, std::uint64_t(startMs) + 1);
        // Killed here: lines 4 to 7 were handed over but not acknowledged.
    }
    if (GetParam().logLost) {
        ASSERT_TRUE(QFile::remove(logPath()));
    }
    log(8, 1);
    Running run(setup(), now);
    EXPECT_EQ(run.pump(now), GetParam().afterRestart);
    // The jump says so, and the station does not take it for a loss.
    EXPECT_EQ(run.link.events().front().value(QStringLiteral("skipped")).toDouble(),
              GetParam().logLost ? double(LogPublisher::MaxAhead) : 0.0);
}

INSTANTIATE_TEST_SUITE_P(Log, LogPublisherRestartTest,
                         ::testing::Values(RestartCase{false, expected(4, 5, 1)},
                                           RestartCase{true, expected(8, 1, 1 + double(LogPublisher::MaxAhead))}));

// The active alarms wait for the broker; only the newest state goes out.
TEST_F(LogPublisherTest, TheNewestAlarmsGoOutOnceConnected)
{
    RecordingBrokerLink link;
    LogPublisher publisher(link, setup());
    publisher.setAlarms("{\"fireDetectors\":1}");
    publisher.setAlarms("{\"fireDetectors\":2}");
    publisher.pump(now);
    EXPECT_TRUE(link.sent().empty());
    publisher.linkState(State::Connected, now);
    publisher.pump(now);
    publisher.pump(now);
    std::vector<QByteArray> alarms;
    for (const auto& message : link.sent())
        if (message.topic == u"kirvan/ws/alarms")
            alarms.push_back(message.payload);
    EXPECT_EQ(alarms, std::vector<QByteArray>{"{\"fireDetectors\":2}"});
}

TEST_F(LogPublisherTest, LinesOfAnOutageFollowTheResentOnesInOrder)
{
    Running run(setup(), now);
    log(0, 3);
    run.publisher.pump(now);
    run.publisher.linkState(State::Unreachable, now);
    log(3, 100);
    run.publisher.pump(now += 30'000);
    EXPECT_EQ(run.link.events().size(), 3u) << "nothing is handed over during the outage";
    run.publisher.linkState(State::Connected, now);
    run.publisher.pump(now);
    EXPECT_EQ(run.link.events().size(), 3u) << "the link sends the three again first";
    run.acknowledgeAll();
    EXPECT_EQ(run.pump(now), expected(0, 103, 0));
    run.acknowledgeAll();
    run.publisher.pump(now += 1000);
    EXPECT_EQ(run.publisher.acknowledgedCursor().sequence, std::uint64_t(startMs) + 103);
    EXPECT_EQ(PublishCursor::load(setup().cursorPath), run.publisher.acknowledgedCursor());
}

// A broker restarted without persistence has lost the retained states: each connection says them
// again, and clears the addresses without a system.
TEST_F(LogPublisherTest, EveryConnectionPublishesEveryStateAgain)
{
    Running run(setup(), now);
    run.publisher.setAlarms(R"({"systems":{"01":"отказ"}})");
    run.publisher.pump(now);
    run.publisher.linkState(State::Unreachable, now);
    const std::size_t before = run.link.sent().size();
    run.publisher.linkState(State::Connected, now);
    QStringList states;
    for (std::size_t i = before; i < run.link.sent().size(); ++i)
        if (run.link.sent()[i].topic.contains(QStringLiteral("/state/")))
            states << run.link.sent()[i].topic.section(u'/', -1) + u'=' + QString::fromUtf8(run.link.sent()[i].payload);
    EXPECT_EQ(states, QStringList({QStringLiteral("00="), QStringLiteral("01=отказ"), QStringLiteral("02="),
                                   QStringLiteral("03=")}));
}

TEST_F(LogPublisherTest, LinesTheLinkDidNotSendAgainAreReadAgainAfterAWhile)
{
    Running run(setup(), now);
    log(0, 2);
    run.publisher.pump(now);
    run.publisher.linkState(State::Unreachable, now);
    run.publisher.linkState(State::Connected, now);
    run.publisher.pump(now += LogPublisher::ResendPatienceMs - 1);
    EXPECT_EQ(run.link.events().size(), 2u);
    EXPECT_EQ(run.pump(now += 1), (Numbered{{0, 0}, {1, 1}, {0, 0}, {1, 1}}));
}

TEST_F(LogPublisherTest, ARotatedLogIsReadToItsEndBeforeTheNewOneAndAHalfWrittenLineWaitsForItsEnd)
{
    Running run(setup(), now);
    log(0, 1);
    run.publisher.pump(now);
    log(1, 2);
    ASSERT_TRUE(QFile::rename(logPath(), logPath() + QStringLiteral("-20231208")));
    log(3, 2);
    QFile file(logPath());
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("08.12.2023 9:15:02  LINE ");
    file.flush();
    EXPECT_EQ(run.pump(now), expected(0, 5, 0));
    file.write("5\r\n");
    file.flush();
    EXPECT_EQ(run.pump(now), expected(0, 6, 0));
    EXPECT_EQ(run.link.events().back().value(QStringLiteral("text")).toString(),
              QStringLiteral("08.12.2023 9:15:02  LINE 5"));
}

} // namespace
} // namespace kirvan
