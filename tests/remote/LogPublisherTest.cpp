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

constexpr std::int64_t startMs = 1'700'000'000'000;

class LogPublisherTest : public ::testing::Test {
protected:
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
    // The number each event text ends with, and its sequence number less the first one.
    static std::vector<std::pair<int, double>> numbered(const std::vector<QJsonObject>& events)
    {
        std::vector<std::pair<int, double>> result;
        for (const QJsonObject& event : events)
            result.emplace_back(event.value(QStringLiteral("text")).toString().section(QLatin1Char(' '), -1).toInt(),
                                event.value(QStringLiteral("seq")).toDouble() - double(startMs));
        return result;
    }
    static std::vector<std::pair<int, double>> expected(int first, int count, double firstSequence)
    {
        std::vector<std::pair<int, double>> result;
        for (int i = 0; i < count; ++i)
            result.emplace_back(first + i, firstSequence + i);
        return result;
    }

    static void acknowledgeAll(LogPublisher& publisher, const RecordingBrokerLink& link)
    {
        for (const auto& message : link.sent())
            publisher.acknowledged(message.id);
    }

    testing::TempFolder folder;
    std::int64_t now = 0;
};

TEST_F(LogPublisherTest, PublishesNewLinesInOrderAndARestartGoesOnFromTheLastAcknowledged)
{
    log(0, 3); // before the first start: not published
    {
        RecordingBrokerLink link;
        LogPublisher publisher(link, setup());
        log(3, 5);
        publisher.linkState(State::Connected, now);
        publisher.pump(now);
        EXPECT_EQ(numbered(link.events()), expected(3, 5, 0));
        EXPECT_EQ(link.sent().front().topic, QStringLiteral("kirvan/ws/status"));
        EXPECT_EQ(link.sent().front().payload, QByteArray("online"));
        std::vector<int> events;
        for (const auto& message : link.sent())
            if (message.topic.endsWith(QStringLiteral("/event")))
                events.push_back(message.id);
        publisher.acknowledged(events[0]);
        publisher.acknowledged(events[2]); // a later one alone moves nothing
        publisher.pump(now += 1000);
        EXPECT_EQ(publisher.acknowledgedCursor().sequence, std::uint64_t(startMs) + 1);
        // Killed here: lines 4 to 7 were handed over but not acknowledged.
    }
    RecordingBrokerLink link;
    LogPublisher publisher(link, setup());
    log(8, 1);
    publisher.linkState(State::Connected, now);
    publisher.pump(now);
    EXPECT_EQ(numbered(link.events()), expected(4, 5, 1)) << "the same numbers as before the restart";
}

TEST_F(LogPublisherTest, LinesOfAnOutageFollowTheResentOnesInOrder)
{
    RecordingBrokerLink link;
    LogPublisher publisher(link, setup());
    publisher.linkState(State::Connected, now);
    log(0, 3);
    publisher.pump(now);
    publisher.linkState(State::Unreachable, now);
    log(3, 100);
    publisher.pump(now += 30'000);
    EXPECT_EQ(link.events().size(), 3u) << "nothing is handed over during the outage";
    publisher.linkState(State::Connected, now);
    publisher.pump(now);
    EXPECT_EQ(link.events().size(), 3u) << "the link sends the three again first";
    acknowledgeAll(publisher, link);
    publisher.pump(now);
    EXPECT_EQ(numbered(link.events()), expected(0, 103, 0));
    acknowledgeAll(publisher, link);
    publisher.pump(now += 1000);
    EXPECT_EQ(publisher.acknowledgedCursor().sequence, std::uint64_t(startMs) + 103);
    EXPECT_EQ(PublishCursor::load(setup().cursorPath), publisher.acknowledgedCursor());
}

TEST_F(LogPublisherTest, LinesTheLinkDidNotSendAgainAreReadAgainAfterAWhile)
{
    RecordingBrokerLink link;
    LogPublisher publisher(link, setup());
    publisher.linkState(State::Connected, now);
    log(0, 2);
    publisher.pump(now);
    publisher.linkState(State::Unreachable, now);
    publisher.linkState(State::Connected, now);
    publisher.pump(now += LogPublisher::ResendPatienceMs - 1);
    EXPECT_EQ(link.events().size(), 2u);
    publisher.pump(now += 1);
    EXPECT_EQ(numbered(link.events()), (std::vector<std::pair<int, double>>{{0, 0}, {1, 1}, {0, 0}, {1, 1}}));
}

TEST_F(LogPublisherTest, ARotatedLogIsReadToItsEndBeforeTheNewOne)
{
    RecordingBrokerLink link;
    LogPublisher publisher(link, setup());
    publisher.linkState(State::Connected, now);
    log(0, 1);
    publisher.pump(now);
    log(1, 2);
    ASSERT_TRUE(QFile::rename(logPath(), logPath() + QStringLiteral("-20231208")));
    log(3, 2);
    publisher.pump(now);
    EXPECT_EQ(numbered(link.events()), expected(0, 5, 0));
}

TEST_F(LogPublisherTest, ALostLogNeverGivesANumberAgain)
{
    log(-1, 1);
    {
        RecordingBrokerLink link;
        LogPublisher publisher(link, setup());
        publisher.linkState(State::Connected, now);
        log(0, 2);
        publisher.pump(now);
    }
    ASSERT_TRUE(QFile::remove(logPath()));
    log(2, 1);
    RecordingBrokerLink link;
    LogPublisher publisher(link, setup());
    publisher.linkState(State::Connected, now);
    publisher.pump(now);
    EXPECT_EQ(numbered(link.events()), expected(2, 1, double(LogPublisher::MaxAhead)));
}

TEST_F(LogPublisherTest, AHalfWrittenLineWaitsForItsEnd)
{
    RecordingBrokerLink link;
    LogPublisher publisher(link, setup());
    publisher.linkState(State::Connected, now);
    QFile file(logPath());
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("08.12.2023 9:15:02  ");
    file.flush();
    publisher.pump(now);
    EXPECT_TRUE(link.events().empty());
    file.write("LINE 1\r\n");
    file.flush();
    publisher.pump(now);
    ASSERT_EQ(link.events().size(), 1u);
    EXPECT_EQ(link.events()[0].value(QStringLiteral("text")).toString(), QStringLiteral("08.12.2023 9:15:02  LINE 1"));
}

} // namespace
} // namespace kirvan
