#include "tests/app/WorkstationFixture.h"

#include "mailbox/MailboxClient.h"
#include "platform/Timer.h"

#include <QFile>

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
