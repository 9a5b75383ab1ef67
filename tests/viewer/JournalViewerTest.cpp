#include "viewer/JournalViewer.h"
#include "window/MainWindow.h"

#include "tests/app/WorkstationFixture.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QLabel>
#include <QPdfWriter>

using namespace Qt::StringLiterals;

namespace kirvan::testing {
namespace {

class JournalViewerTest : public WorkstationFixture {
protected:
    // Work on the other thread ends by itself; the test only takes up its result.
    static void waitUntilIdle(const JournalViewer& viewer)
    {
        const QDeadlineTimer deadline(30000);
        while (viewer.busy() && !deadline.hasExpired())
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        ASSERT_FALSE(viewer.busy());
    }
    static void waitUntilExported(const JournalViewer& viewer)
    {
        const QDeadlineTimer deadline(30000);
        while (viewer.exporting() && !deadline.hasExpired())
            QApplication::processEvents(QEventLoop::AllEvents, 50);
        ASSERT_FALSE(viewer.exporting());
    }
    void writeLog()
    {
        QString text;
        for (int n = 0; n < 300; ++n)
            text += u"0%1/И12-%2/0%3 08.12.2023 9:%4:00 %5: СКЛАД Цех\n"_s.arg(n % 2 + 1)
                        .arg(n % 60 + 1, 2, 10, QChar(u'0'))
                        .arg(n % 3 == 0 ? 7 : 8)
                        .arg(n % 60, 2, 10, QChar(u'0'))
                        .arg(n % 3 == 0 ? u"ПОЖАР"_s : u"ОТКАЗ"_s);
        folder.writeText(u"KirvanMonitorP.txt"_s, text);
    }
};

TEST_F(JournalViewerTest, FiltersOneSystemsFiresFollowsTheLogAndExports)
{
    writeLog();
    JournalViewer viewer(folder.file(u"KirvanMonitorP.txt"_s), locale, clock);
    viewer.resize(1000, 500);
    waitUntilIdle(viewer);
    EXPECT_EQ(viewer.totalLines(), 300);
    EXPECT_EQ(viewer.shownLines(), 300);

    JournalFilter fires;
    fires.address = 2;
    fires.kinds = kindBit(JournalKind::Fire);
    viewer.setFilter(fires);
    waitUntilIdle(viewer);
    EXPECT_EQ(viewer.shownLines(), 50); // every sixth line: system 2 and a fire
    EXPECT_EQ(viewer.countText(), u"Показано строк: 50 из 300"_s);
    if (const QString shot = qEnvironmentVariable("KIRVAN_JOURNAL_SCREENSHOT"); !shot.isEmpty())
        viewer.grab().save(shot);

    folder.write(u"KirvanMonitorP.txt"_s, folder.read(u"KirvanMonitorP.txt"_s)
                                              + crlf1251(u"02/И12-01/07 08.12.2023 10:00:00 ПОЖАР: СКЛАД\n"
                                                         u"01/И12-01/07 08.12.2023 10:00:01 ПОЖАР: СКЛАД\n"_s));
    viewer.followLog();
    EXPECT_EQ(viewer.countText(), u"Показано строк: 51 из 302"_s);

    // Exports run on another thread; the window only takes up their end.
    viewer.exportCsv(folder.file(u"fires.csv"_s));
    EXPECT_TRUE(viewer.exporting());
    waitUntilExported(viewer);
    EXPECT_EQ(folder.read(u"fires.csv"_s).count("\r\n"), 2 + 51);
    viewer.print(std::make_shared<QPdfWriter>(folder.file(u"fires.pdf"_s)));
    waitUntilExported(viewer);
    EXPECT_TRUE(folder.read(u"fires.pdf"_s).startsWith("%PDF"));
}

TEST_F(JournalViewerTest, ChosenOperatorShowsHisActionsOnly)
{
    writeLog();
    folder.write(u"KirvanMonitorP.txt"_s, folder.read(u"KirvanMonitorP.txt"_s)
                                              + crlf1251(u"08.12.2023 10:00:00  ВХОД ОПЕРАТОРА: Иванов, уровень 2\n"
                                                         u"08.12.2023 10:00:01  ДЕЙСТВИЕ ОПЕРАТОРА Петров: Выход\n"_s));
    JournalViewer viewer(folder.file(u"KirvanMonitorP.txt"_s), locale, clock);
    viewer.setOperatorNames({u"Иванов"_s, u"Петров"_s});
    waitUntilIdle(viewer);
    auto* chosen = viewer.findChild<QComboBox*>(u"JournalOperator"_s);
    ASSERT_TRUE(chosen);
    chosen->setCurrentIndex(2);
    waitUntilIdle(viewer);
    EXPECT_EQ(viewer.countText(), u"Показано строк: 1 из 302"_s);
    EXPECT_EQ(viewer.filter().operatorName, u"Петров"_s);
}

// F3 hands the log to the desktop; a kiosk without a program for it gets the viewer instead.
TEST_F(JournalViewerTest, ArchiveCommandFallsBackToTheViewer)
{
    writeLog();
    MainWindow window(platform(), WorkstationFolder(folder.path()));
    // The viewer is a window of its own, not a child of the main window.
    const auto viewerWindows = [] {
        QList<QWidget*> found;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (top->objectName() == u"JournalViewer")
                found << top;
        return found;
    };
    const auto viewers = [&] { return viewerWindows().size(); };
    window.actions().openJournal->trigger();
    EXPECT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(viewers(), 0);
    shell.opens = false;
    window.actions().openJournal->trigger();
    EXPECT_EQ(viewers(), 1);
    window.actions().viewJournal->trigger();
    EXPECT_EQ(viewers(), 1) << "one viewer, brought forward";
    waitUntilIdle(*static_cast<JournalViewer*>(viewerWindows().front()));
}

} // namespace
} // namespace kirvan::testing
