#include "tests/app/WorkstationFixture.h"

#include "mailbox/MailboxClient.h"
#include "platform/Timer.h"

#include <QFile>
#include <array>

namespace kirvan::testing {
namespace {

using WorkstationMailboxTest = WorkstationFixture;

TEST_F(WorkstationMailboxTest, AMailboxCreatedAtStartUpTakesAClientsRequestIntoTheQueue)
{
    folder.write(QStringLiteral("KirvanMonitorP.cds"), {});
    auto workstation = startWorkstation();
    ASSERT_TRUE(workstation->mailbox().timer5().enabled());

    MailboxClient client(loop, folder.file(QStringLiteral("KirvanMonitorP.cds")));
    EXPECT_EQ(client.send(QStringLiteral("A02:F3-12"), true, 2000), MailboxClient::Outcome::Taken);
    EXPECT_EQ(workstation->link().queue().slot(0), (Command{2, 154, 242, 11}));
    EXPECT_EQ(workstation->statusBar().commandPanel(), QStringLiteral("          КОМАНДА: ЗАПУСТИТЬ СЦЕНАРИЙ"));
}

// Thirty requests, each waited for until the workstation marked it done: every one reaches the
// line, in the order written, and leaves its journal line (27 did once, out of order, while all 30
// were acknowledged).
TEST_F(WorkstationMailboxTest, EveryRequestMarkedDoneReachesTheLineInTheOrderWritten)
{
    writeStoreComplex();
    folder.write(QStringLiteral("KirvanMonitorP.cds"), {});
    auto workstation = startWorkstation();
    MailboxClient client(loop, folder.file(QStringLiteral("KirvanMonitorP.cds")));
    std::vector<std::array<int, 3>> written;
    for (int request = 1; request <= 30; ++request) {
        const bool close = request % 3 != 0;
        ASSERT_EQ(client.send(QStringLiteral("A01:1%1-%2").arg(1 + request % 2).arg(request, 2, 10, QLatin1Char('0')),
                              close, 20000),
                  MailboxClient::Outcome::Taken)
            << request;
        written.push_back({close ? 154 : 155, request % 2, request - 1});
    }
    loop.advance(40 * 800);
    std::vector<std::array<int, 3>> sent;
    for (std::size_t i = 0; i + 7 <= port.sent.size(); ++i)
        if (port.sent[i].parity == Parity::mark && port.sent[i].byte == 0x01
            && (port.sent[i + 2].byte == 154 || port.sent[i + 2].byte == 155))
            sent.push_back({port.sent[i + 2].byte, port.sent[i + 3].byte - 16, port.sent[i + 4].byte});
    EXPECT_EQ(sent, written);
    int journaled = 0;
    for (const QString& line : logLines())
        journaled += line.contains(QStringLiteral("  ПОЧТОВЫЙ ЯЩИК: "));
    EXPECT_EQ(journaled, 30);
    EXPECT_TRUE(
        logLines().contains(QStringLiteral("08.12.2023 9:15:02  ПОЧТОВЫЙ ЯЩИК: РАЗОМКНУТЬ КОНТАКТ 12-03 СИСТЕМЫ A01")))
        << logLines().join(u'\n').toStdString();
}

TEST_F(WorkstationMailboxTest, WithoutTheFileAtStartUpTheMailboxStaysIdle)
{
    auto workstation = startWorkstation();
    folder.write(QStringLiteral("KirvanMonitorP.cds"), {});
    MailboxClient client(loop, folder.file(QStringLiteral("KirvanMonitorP.cds")));
    EXPECT_EQ(client.send(QStringLiteral("A02:F3-12"), true, 2000), MailboxClient::Outcome::Withdrawn);
    EXPECT_FALSE(workstation->mailbox().timer5().enabled());
    EXPECT_EQ(workstation->link().queue().slot(0).code, 0);
}

} // namespace
} // namespace kirvan::testing
