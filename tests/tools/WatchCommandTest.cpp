#include "tools/kirvan-tool/ToolCommand.h"

#include "files/IniStore.h"
#include "remote/EventMessage.h"
#include "remote/MosquittoLink.h"
#include "tests/support/FixedLocale.h"
#include "tests/support/RemoteStation.h"
#include "tests/support/VirtualMessageLoop.h"

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

namespace kirvan {
namespace {

TEST(WatchCommandTest, PrintsEachEventOfEveryWorkstationOnceAsItsJournalLine)
{
    if (!testing::PrivateBroker::available())
        GTEST_SKIP() << "mosquitto is not installed";
    testing::PrivateBroker broker;
    ASSERT_TRUE(broker.start());
    testing::FixedLocale locale;
    IniStore store(locale);
    testing::VirtualMessageLoop loop;
    testing::FixedClock clock;
    QString output, errors;
    QTextStream in(stdin);
    QTextStream out(&output);
    QTextStream err(&errors);
    std::atomic<bool> done = false;
    std::thread watch([&] {
        runToolCommand({QStringLiteral("watch"), QStringLiteral("--server"), broker.server(), QStringLiteral("--count"),
                        QStringLiteral("2")},
                       ToolPlatform{store, loop, clock, locale, {}}, in, out, err);
        done = true;
    });
    MosquittoLink workstation(testing::Station::settingsFor(broker));
    workstation.start({}, {}, {});
    // Published until the watch has had its two: each message twice, as after an outage.
    for (int i = 1; !done && i < 2000; ++i) {
        const QByteArray json = EventMessage(std::uint64_t(i),
                                             QByteArray("08.12.2023 9:15:02  LINE ") + QByteArray::number(i),
                                             JournalDateOrder(0, 1, 2), [] { return QDateTime::currentDateTime(); })
                                    .json();
        workstation.publish(QStringLiteral("kirvan/ws/event"), json, false);
        workstation.publish(QStringLiteral("kirvan/ws/event"), json, false);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    watch.join();
    const QStringList lines = output.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    const int first = lines[0].section(QLatin1Char(' '), -1).toInt();
    EXPECT_EQ(lines[0], QStringLiteral("kirvan/ws: 08.12.2023 9:15:02  LINE %1").arg(first));
    EXPECT_EQ(lines[1], QStringLiteral("kirvan/ws: 08.12.2023 9:15:02  LINE %1").arg(first + 1));
    EXPECT_TRUE(errors.contains(QStringLiteral("MQTT: подключено")));
}

} // namespace
} // namespace kirvan
