#include "app/RejectedRecordReport.h"

#include "platform/StatusBar.h"
#include "tests/app/WorkstationFixture.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/FrameBytes.h"

#include "tests/support/RecordingDialogs.h"

namespace kirvan::testing {
namespace {

// The notice leaves the window free; it is shown once the receive handler has returned, and what
// comes before that goes to the message panel.
TEST(RejectedRecordReportTest, OneNoticeAfterTheReceiveHandlerAndTheReportsBeforeItInTheMessagePanel)
{
    VirtualMessageLoop loop;
    RecordingDialogs dialogs;
    StatusBar statusBar;
    RejectedRecordReport report(loop, dialogs, statusBar);
    report.report(QStringLiteral("01/И12-05/03"), QStringLiteral("Unable to write to /srv/Склад.tb1"));
    report.report(QStringLiteral("01/И12-06/03"), QStringLiteral("Unable to write to /srv/Склад.tb1"));
    report.report(QStringLiteral("02/И13-100/07"), QStringLiteral("поле шире своего места в записи"));
    EXPECT_TRUE(dialogs.shown.empty()) << "the receive handler returns before the notice is shown";
    loop.advance(10);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.notices, 1u);
    EXPECT_EQ(dialogs.shown[0].caption + u'|' + dialogs.shown[0].text,
              QStringLiteral("Ошибка|Событие 01/И12-05/03 не обработано.\nПричина: Unable to write to /srv/Склад.tb1"));
    EXPECT_EQ(statusBar.messagePanel(),
              QStringLiteral("Событие 02/И13-100/07 не обработано. Причина: поле шире своего места в записи"));
    report.report(QStringLiteral("01/И12-07/03"), QStringLiteral("x"));
    loop.advance(10);
    EXPECT_EQ(dialogs.notices, 2u) << "the next report is a notice again";
}

using RejectedRecordWiringTest = WorkstationFixture;

TEST_F(RejectedRecordWiringTest, ARefusedDetectorFileWriteIsLoggedAndShownToTheOperator)
{
    folder.writeText(QStringLiteral("Склад.cnf"), QStringLiteral("[СИСТЕМА]\nАДРЕС=01\n"));
    folder.writeText(QStringLiteral("Склад.tb1"),
                     QStringLiteral("[И12-05]\nЗОНА=Цех 1\nТЕКСТ=Коридор\n[И12-50]\nТЕКСТ=%1\n").arg(QString(3000, u'x')));
    folder.writeText(QStringLiteral("kirvanmonitorp.cnf"), QStringLiteral("A01:СКЛАД\n"));
    folder.writeText(QStringLiteral("KirvanMonitorP.ini"),
                     QStringLiteral("[АДРЕС]\n01=") + folder.file(QStringLiteral("Склад.cnf")) + u'\n');
    auto workstation = startWorkstation();
    // 01/И12-05/03 (detector switched on) and a fire right behind it.
    port.received.deliver(join({frameBytes(0x20, 0x01, 0x8A, 0x11, 0x04), frameBytes(0x20, 0x01, 0x94, 0x11, 0x04)}));
    {
        FileSizeLimit disk(2500);
        workstation->link().receiver().bytesArrived(14);
    }
    const QStringList lines = workstation->log().historyList();
    ASSERT_GE(lines.size(), 2);
    EXPECT_TRUE(lines[lines.size() - 2].startsWith(QStringLiteral("01/И12-05/03"))) << lines.join(u'\n').toStdString();
    EXPECT_TRUE(lines.back().startsWith(QStringLiteral("01/И12-05/07")));
    EXPECT_TRUE(dialogs.shown.empty());
    loop.advance(10);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("Ошибка"));
    EXPECT_TRUE(dialogs.shown[0].text.startsWith(QStringLiteral("Событие 01/И12-05/03 не обработано.")));
    EXPECT_TRUE(dialogs.shown[0].text.contains(QStringLiteral("Склад.tb1")));
}

} // namespace
} // namespace kirvan::testing
