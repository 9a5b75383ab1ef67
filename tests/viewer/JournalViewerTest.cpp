#include "viewer/JournalViewer.h"
#include "archive/ExportTarget.h"

#include "tests/app/WorkstationFixture.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPdfWriter>

using namespace Qt::StringLiterals;

namespace kirvan::testing {
namespace {

// The viewer's workers run each job at once here.
class JournalViewerTest : public WorkstationFixture {
protected:
    ViewerServices services() { return {loop, workers, dialogs, clock, locale}; }
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
    JournalViewer viewer(folder.file(u"KirvanMonitorP.txt"_s), services());
    viewer.resize(1000, 500);
    EXPECT_EQ(viewer.totalLines(), 300);
    EXPECT_EQ(viewer.shownLines(), 300);

    JournalFilter fires;
    fires.address = 2;
    fires.kinds = kindBit(JournalKind::Fire);
    viewer.setFilter(fires);
    EXPECT_EQ(viewer.shownLines(), 50); // every sixth line: system 2 and a fire
    EXPECT_EQ(viewer.countText(), u"Показано строк: 50 из 300"_s);
    if (const QString shot = qEnvironmentVariable("KIRVAN_JOURNAL_SCREENSHOT"); !shot.isEmpty())
        viewer.grab().save(shot);

    folder.write(u"KirvanMonitorP.txt"_s, folder.read(u"KirvanMonitorP.txt"_s)
                                              + crlf1251(u"02/И12-01/07 08.12.2023 10:00:00 ПОЖАР: СКЛАД\n"
                                                         u"01/И12-01/07 08.12.2023 10:00:01 ПОЖАР: СКЛАД\n"_s));
    loop.advance(1000);
    EXPECT_EQ(viewer.countText(), u"Показано строк: 51 из 302"_s) << "followed within a second";

    TempFolder exports;
    viewer.exportCsv(exports.file(u"fires.csv"_s));
    EXPECT_EQ(exports.read(u"fires.csv"_s).count("\r\n"), 2 + 51);
    viewer.print(std::make_shared<QPdfWriter>(exports.file(u"fires.pdf"_s)));
    EXPECT_TRUE(exports.read(u"fires.pdf"_s).startsWith("%PDF"));
    // Thrown for the loop's error handler, which shows it; the next export may start.
    EXPECT_THROW(viewer.exportCsv(exports.file(u"нет/fires.csv"_s)), std::runtime_error);
    EXPECT_FALSE(viewer.exporting());
}

// Anybody at the console may export: no name the operator types replaces a file of the
// workstation, nor anything but an earlier export elsewhere.
TEST_F(JournalViewerTest, ExportNeverReplacesAFileOfTheWorkstation)
{
    writeStoreComplex();
    writeLog();
    folder.writeText(u"KirvanMonitorP.users"_s, u"Иванов:3:$argon2id$x\n"_s);
    QDir(folder.path()).mkdir(u"Объекты"_s);
    folder.writeText(u"Объекты/план.csv"_s, u"не экспорт\n"_s);
    TempFolder elsewhere;
    elsewhere.writeText(u"notes.txt"_s, u"записи\n"_s);
    elsewhere.writeText(u"earlier.csv"_s, u"прежний экспорт\n"_s);
    ASSERT_TRUE(QFile::link(folder.file(u"KirvanMonitorP.txt"_s), elsewhere.file(u"link.csv"_s)));
    ASSERT_TRUE(QFile::link(folder.file(u"Объекты"_s), elsewhere.file(u"objects"_s)));
    const auto workstationBefore = folder.snapshot();
    const auto elsewhereBefore = elsewhere.snapshot();
    JournalViewer viewer(folder.file(u"KirvanMonitorP.txt"_s), services());
    QStringList refused = workstationBefore.keys();
    refused << u"new.csv"_s;
    for (QString& name : refused)
        name = folder.file(name);
    refused << elsewhere.file(u"link.csv"_s) << elsewhere.file(u"objects/new.csv"_s) << elsewhere.file(u"notes.txt"_s);
    for (const QString& file : refused) {
        EXPECT_FALSE(viewer.exportCsv(file)) << file.toStdString();
        EXPECT_FALSE(viewer.printPdf(file)) << file.toStdString();
    }
    EXPECT_EQ(dialogs.notices, 2 * std::size_t(refused.size())) << "each refusal says why";
    EXPECT_EQ(folder.snapshot(), workstationBefore);
    EXPECT_EQ(elsewhere.snapshot(), elsewhereBefore);
    EXPECT_TRUE(viewer.exportCsv(elsewhere.file(u"earlier.csv"_s)));
    EXPECT_TRUE(viewer.printPdf(elsewhere.file(u"журнал.pdf"_s)));
    EXPECT_EQ(exportFileName(QDateTime(QDate(2026, 12, 10), QTime(3, 50)), u"csv"_s), u"журнал 2026-12-10 03-50.csv"_s);
}

TEST_F(JournalViewerTest, ChosenOperatorShowsHisActionsOnly)
{
    writeLog();
    folder.write(u"KirvanMonitorP.txt"_s, folder.read(u"KirvanMonitorP.txt"_s)
                                              + crlf1251(u"08.12.2023 10:00:00  ВХОД ОПЕРАТОРА: Иванов, уровень 2\n"
                                                         u"08.12.2023 10:00:01  ДЕЙСТВИЕ ОПЕРАТОРА Петров: Выход\n"_s));
    JournalViewer viewer(folder.file(u"KirvanMonitorP.txt"_s), services());
    viewer.setOperatorNames({u"Иванов"_s, u"Петров"_s});
    auto* chosen = viewer.findChild<QComboBox*>(u"JournalOperator"_s);
    ASSERT_TRUE(chosen);
    chosen->setCurrentIndex(2);
    EXPECT_EQ(viewer.countText(), u"Показано строк: 1 из 302"_s);
    EXPECT_EQ(viewer.filter().operatorName, u"Петров"_s);
}

} // namespace
} // namespace kirvan::testing
