#include "mailbox/Mailbox.h"

#include "files/Cp1251.h"
#include "mailbox/MailboxClient.h"
#include "mailbox/MailboxRequest.h"
#include "link/CommandQueue.h"
#include "platform/StatusBar.h"
#include "platform/Timer.h"
#include "tests/support/FileSizeLimit.h"
#include "platform/WorkerThread.h"
#include "tests/support/InlineWorker.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VirtualMessageLoop.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

using testing::TempFolder;

const QByteArray declaration = R"(<?xml version="1.0" standalone="yes"?>)";
const QByteArray metadata
    = R"(<METADATA><FIELDS><FIELD attrname="update" fieldtype="boolean"/><FIELD attrname="address" fieldtype="string" WIDTH="20"/>)"
      R"(<FIELD attrname="status" fieldtype="boolean"/></FIELDS><PARAMS/></METADATA>)";

// A packet as the data-access components save it, with these ROW elements.
QByteArray packet(const QByteArray& rows, const QByteArray& head = declaration + "  ")
{
    return head + R"(<DATAPACKET Version="2.0">)" + metadata + "<ROWDATA>" + rows + "</ROWDATA></DATAPACKET>";
}

QByteArray row(const char* update, const char* address, const char* status)
{
    return QByteArray(R"(<ROW update=")") + update + R"(" address=")" + address + R"(" status=")" + status + R"("/>)";
}

struct RequestCase {
    const char* name;
    QString address;
    bool status;
    Command command;
    QString text;
    QString journal;
    friend void PrintTo(const RequestCase& c, std::ostream* os) { *os << c.name; }
};

class MailboxRequestTest : public ::testing::TestWithParam<RequestCase> {};

TEST_P(MailboxRequestTest, AddressAndStatusGiveTheCommandTheTextAndTheJournalLine)
{
    const RequestCase& c = GetParam();
    const MailboxRequest request = requestFor(c.address, c.status);
    EXPECT_EQ(request.command, c.command);
    EXPECT_EQ(request.text, c.text);
    EXPECT_EQ(request.journal, c.journal);
}

INSTANTIATE_TEST_SUITE_P(Addresses, MailboxRequestTest,
                         ::testing::Values(RequestCase{"ScenarioStart",
                                                       u"A01:F1-05"_s,
                                                       true,
                                                       {1, 154, 240, 4},
                                                       u"          КОМАНДА: ЗАПУСТИТЬ СЦЕНАРИЙ"_s,
                                                       u"ПОЧТОВЫЙ ЯЩИК: ЗАПУСТИТЬ СЦЕНАРИЙ 5 СИСТЕМЫ A01"_s},
                                           RequestCase{"ScenarioStop",
                                                       u"#03#F2=10"_s,
                                                       false,
                                                       {3, 155, 241, 9},
                                                       u"          КОМАНДА: ОСТАНОВИТЬ СЦЕНАРИЙ"_s,
                                                       u"ПОЧТОВЫЙ ЯЩИК: ОСТАНОВИТЬ СЦЕНАРИЙ F2-10 СИСТЕМЫ A03"_s},
                                           RequestCase{"ContactOpen",
                                                       u"A01:32-05"_s,
                                                       false,
                                                       {1, 155, 49, 4},
                                                       u"          КОМАНДА: РАЗОМКНУТЬ КОНТАКТ"_s,
                                                       u"ПОЧТОВЫЙ ЯЩИК: РАЗОМКНУТЬ КОНТАКТ 32-05 СИСТЕМЫ A01"_s},
                                           RequestCase{"ContactClose",
                                                       u"A02:A8-60"_s,
                                                       true,
                                                       {2, 154, 167, 59},
                                                       u"          КОМАНДА: ЗАМКНУТЬ КОНТАКТ"_s,
                                                       u"ПОЧТОВЫЙ ЯЩИК: ЗАМКНУТЬ КОНТАКТ A8-60 СИСТЕМЫ A02"_s}),
                         [](const auto& test) { return std::string(test.param.name); });

// An address off the layout is refused whole: each of these was once carried out as another
// command (a lower-case group closed a relay instead of starting scenario 5, a blank gave element
// 256, systems 5 and 255, parameter 255).
class MailboxRequestRefusalTest : public ::testing::TestWithParam<QString> {};

TEST_P(MailboxRequestRefusalTest, AnAddressOffTheLayoutIsRefusedSayingWhatIsWrong)
{
    try {
        requestFor(GetParam(), true);
        ADD_FAILURE() << "accepted";
    } catch (const std::invalid_argument& refused) {
        EXPECT_TRUE(QString::fromStdString(refused.what()).contains(GetParam())) << refused.what();
    }
}

INSTANTIATE_TEST_SUITE_P(Addresses, MailboxRequestRefusalTest,
                         ::testing::Values(u"A01:f1-05"_s, u" 01: F1-05"_s, u"A05:F1-05"_s, u"A-1:F1-05"_s,
                                           u"A01:F1-00"_s, u"A01:F0-05"_s, u"A01:F1-0"_s, u"A01:F1-05 "_s,
                                           u"A01:G1-05"_s, u"A01:F1-0x"_s, u" 03 F2 10"_s, u"A0١:F1-05"_s));

// The workstation's side on virtual time: mailboxTimer bound to the file in a fresh folder.
class MailboxTest : public ::testing::Test {
protected:
    MailboxTest()
    {
        mailbox.setOnCarriedOut([this](const QString& line) { journal.push_back(line); });
        loop.setErrorHandler(
            [this](const std::exception& error) { reports.push_back(QString::fromStdString(error.what())); });
    }

    void write(const QByteArray& bytes) const { folder.write(u"KirvanMonitorP.cds"_s, bytes); }
    QByteArray file() const { return folder.read(u"KirvanMonitorP.cds"_s); }
    std::vector<Command> queued() const
    {
        std::vector<Command> commands;
        for (int slot = 0; slot < queue.size(); ++slot)
            commands.push_back(queue.slot(slot));
        return commands;
    }
    // Binds as start-up does and lets mailboxTimer tick `ticks` times.
    void run(int ticks)
    {
        if (!mailbox.timer5().enabled())
            mailbox.bind();
        loop.advance(ticks * Mailbox::IntervalMs);
    }

    TempFolder folder;
    testing::VirtualMessageLoop loop;
    CommandQueue queue;
    StatusBar statusBar;
    Mailbox mailbox{loop, folder.file(u"KirvanMonitorP.cds"_s), queue, statusBar,
                    std::make_unique<testing::InlineWorker>()};
    std::vector<QString> reports;
    std::vector<QString> journal;
};

TEST_F(MailboxTest, ARequestIsQueuedOnceShownAndMarkedDoneInTheFile)
{
    write(packet(row("TRUE", "A01:F1-05", "TRUE")));
    run(2);
    EXPECT_EQ(queued(), std::vector<Command>({{1, 154, 240, 4}})) << "two ticks, one request, one command";
    EXPECT_EQ(statusBar.commandPanel(), u"          КОМАНДА: ЗАПУСТИТЬ СЦЕНАРИЙ"_s);
    EXPECT_EQ(file(), packet(row("FALSE", "A01:F1-05", "TRUE"), declaration));
    EXPECT_TRUE(reports.empty());
    EXPECT_EQ(journal, std::vector<QString>{u"ПОЧТОВЫЙ ЯЩИК: ЗАПУСТИТЬ СЦЕНАРИЙ 5 СИСТЕМЫ A01"_s})
        << "one journal line naming the request";
}

// With the queue full the request is not marked done: it waits in the file and is taken at the
// first tick that finds room, so a writer never hears "done" of a command that was dropped.
TEST_F(MailboxTest, ARequestFindingTheQueueFullStaysPendingUntilThereIsRoom)
{
    for (std::uint8_t i = 0; i < CommandQueue::Capacity; ++i)
        ASSERT_TRUE(queue.queueCommand(2, 154, i, 0));
    const QByteArray request = packet(row("TRUE", "A01:F1-05", "TRUE"));
    write(request);
    run(4);
    EXPECT_EQ(file(), request) << "still pending";
    EXPECT_EQ(queue.size(), CommandQueue::Capacity);
    EXPECT_TRUE(journal.empty());
    EXPECT_TRUE(reports.empty());
    queue.takeNext();
    run(1);
    EXPECT_EQ(file(), packet(row("FALSE", "A01:F1-05", "TRUE"), declaration));
    EXPECT_EQ(queue.slot(CommandQueue::Capacity - 1), (Command{1, 154, 240, 4})) << "last, after those before it";
    EXPECT_EQ(journal, std::vector<QString>{u"ПОЧТОВЫЙ ЯЩИК: ЗАПУСТИТЬ СЦЕНАРИЙ 5 СИСТЕМЫ A01"_s});
}

TEST_F(MailboxTest, OnlyTheFirstRecordCountsAndAnEmptyTableIsNoRequest)
{
    const QByteArray secondOnly = packet(row("FALSE", "A01:F1-05", "TRUE") + row("TRUE", "A02:31-01", "TRUE"));
    write(secondOnly);
    run(1);
    write(packet({}));
    run(1);
    EXPECT_TRUE(queued().empty());
    EXPECT_EQ(file(), packet({}));
    EXPECT_TRUE(reports.empty());
    EXPECT_TRUE(statusBar.commandPanel().isEmpty());
}

TEST_F(MailboxTest, AChangeLogIsMergedIntoTheCurrentRecordAndWrittenBackWithout)
{
    // The first record was deleted; the second was saved FALSE and then modified to a request;
    // an inserted third stays as it is.
    const QByteArray head = declaration + R"(<DATAPACKET Version="2.0">)"
                            + QByteArray(metadata).replace("<PARAMS/>",
                                                           R"(<PARAMS CHANGE_LOG="1 0 2 3 2 8 4 0 4" LCID="1049"/>)");
    write(head + "<ROWDATA>" + R"(<ROW RowState="3" update="TRUE" address="A00:11-01" status="TRUE"/>)"
          + R"(<ROW RowState="1" update="FALSE" address="A02:11-01" status="TRUE"/>)"
          + R"(<ROW RowState="8" update="TRUE" address="A03:F2-07"/>)"
          + R"(<ROW RowState="4" update="TRUE" address="A01:11-01" status="FALSE"/>)" + "</ROWDATA></DATAPACKET>");
    run(1);
    EXPECT_EQ(queued(), std::vector<Command>({{3, 154, 241, 6}}));
    EXPECT_EQ(file(), declaration + R"(<DATAPACKET Version="2.0">)"
                          + QByteArray(metadata).replace("<PARAMS/>", R"(<PARAMS LCID="1049"/>)") + "<ROWDATA>"
                          + row("FALSE", "A03:F2-07", "TRUE") + row("TRUE", "A01:11-01", "FALSE")
                          + "</ROWDATA></DATAPACKET>");
}

// A windows-1251 packet comes back in its encoding with its other fields as they were: quoted text,
// and what the code page lacks as character references.
class MailboxCodePageTest : public MailboxTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(MailboxCodePageTest, AWindows1251FileKeepsItsEncodingAndItsOtherFields)
{
    const QByteArray head = R"(<?xml version="1.0" encoding="windows-1251" standalone="yes"?>)";
    const QByteArray withComment = QByteArray(metadata).replace(
        "</FIELDS>", R"(<FIELD attrname="comment" fieldtype="string" WIDTH="40"/></FIELDS>)");
    const auto file1251 = [&](const char* update) {
        return head + R"(<DATAPACKET Version="2.0">)" + withComment + "<ROWDATA>"
               + cp1251::encode(QStringLiteral(R"(<ROW update="%1" address="A01:22-03" status="FALSE" comment="%2"/>)")
                                    .arg(QLatin1String(update), QString::fromUtf8(GetParam())))
                     .bytes
               + "</ROWDATA></DATAPACKET>";
    };
    write(file1251("TRUE"));
    run(1);
    EXPECT_EQ(queued(), std::vector<Command>({{1, 155, 33, 2}}));
    EXPECT_EQ(file(), file1251("FALSE"));
}

INSTANTIATE_TEST_SUITE_P(Comments, MailboxCodePageTest,
                         ::testing::Values("Вентиляция &quot;цеха&quot;", "Цех &#8805; 2 &#128293;"));

TEST_F(MailboxTest, AnUndeclaredWindows1251FileIsReadAsSuchAndSaidOnce)
{
    const auto undeclared = [&](const char* update) {
        return packet(
            cp1251::encode(QStringLiteral(R"(<ROW update="%1" address="A01:22-03" status="FALSE" comment="Вентиляция"/>)")
                               .arg(QLatin1String(update)))
                .bytes,
            declaration);
    };
    write(undeclared("TRUE"));
    run(1);
    write(undeclared("TRUE"));
    run(1);
    EXPECT_EQ(queued(), std::vector<Command>({{1, 155, 33, 2}, {1, 155, 33, 2}}));
    EXPECT_EQ(file(), undeclared("FALSE"));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].contains(u"прочитан как windows-1251"_s)) << reports[0].toStdString();
}

TEST_F(MailboxTest, AnUnusableFileIsReportedOnceAndLeftAlone)
{
    const QByteArray big
        = packet(row("TRUE", "A01:F1-05", "TRUE")).replace("<ROWDATA>", QByteArray(64 * 1024, ' ') + "<ROWDATA>");
    const QByteArray withoutUpdate = packet(R"(<ROW address="A01:F1-05" status="TRUE"/>)")
                                         .replace(R"(<FIELD attrname="update" fieldtype="boolean"/>)", "");
    for (const QByteArray& bad : {packet(row("TRUE", "A01:F1-05", "TRUE")).replace("</ROWDATA>", ""), big, withoutUpdate,
                                  QByteArray(R"(<?xml version="1.0" encoding="KOI8-R"?><DATAPACKET/>)")}) {
        reports.clear();
        write(bad);
        run(5);
        EXPECT_EQ(reports.size(), 1u) << "once, not at every tick: " << bad.left(60).toStdString();
        EXPECT_EQ(file(), bad);
        EXPECT_TRUE(queued().empty());
        // Mended, the file is used again; broken again, it is reported again.
        write(packet(row("FALSE", "A01:F1-05", "TRUE")));
        run(1);
    }
    EXPECT_TRUE(reports.front().contains(u"KOI8-R"_s));
}

TEST_F(MailboxTest, AFifoInPlaceOfTheFileIsRefusedWithoutWaiting)
{
    write(packet({}));
    run(1);
    QFile::remove(folder.file(u"KirvanMonitorP.cds"_s));
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder.file(u"KirvanMonitorP.cds"_s)).constData(), 0600), 0);
    run(2);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].contains(u"не обычный файл"_s)) << reports[0].toStdString();
}

TEST_F(MailboxTest, ARequestThatCannotBeCarriedOutIsReportedAndMarkedDoneAtOnce)
{
    const QByteArray noStatusField = packet(R"(<ROW update="TRUE" address="A01:F1-05"/>)")
                                         .replace(R"(<FIELD attrname="status" fieldtype="boolean"/>)", "");
    for (const QByteArray& request : {packet(row("TRUE", "A01:F1-0", "TRUE")), packet(row("TRUE", "A0x:F1-05", "TRUE")),
                                      packet(row("TRUE", "A01:f1-05", "TRUE")), packet(row("TRUE", "A05:F1-05", "TRUE")),
                                      packet(R"(<ROW update="TRUE" status="TRUE"/>)"), noStatusField}) {
        reports.clear();
        write(request);
        run(3);
        ASSERT_EQ(reports.size(), 1u) << request.toStdString();
        EXPECT_TRUE(reports[0].contains(u"снят"_s));
        EXPECT_TRUE(file().contains(R"(update="FALSE")")) << "done in the same tick, so the writer can go on";
    }
    EXPECT_TRUE(reports.back().contains(u"нет полей"_s));
    EXPECT_TRUE(queued().empty());
    EXPECT_TRUE(journal.empty()) << "nothing carried out";
    EXPECT_TRUE(statusBar.commandPanel().isEmpty());
}

TEST_F(MailboxTest, AFileDeletedWhileRunningIsLookedForAgainAtEachTick)
{
    write(packet({}));
    run(1);
    QFile::remove(folder.file(u"KirvanMonitorP.cds"_s));
    run(4);
    write(packet(row("TRUE", "A02:31-01", "TRUE")));
    run(1);
    EXPECT_EQ(queued(), std::vector<Command>({{2, 154, 48, 0}}));
    EXPECT_TRUE(reports.empty());
}

TEST_F(MailboxTest, AMailboxMissingAtStartUpStaysIdleForTheRun)
{
    mailbox.bind();
    write(packet(row("TRUE", "A02:31-01", "TRUE")));
    loop.advance(5 * Mailbox::IntervalMs);
    EXPECT_FALSE(mailbox.timer5().enabled());
    EXPECT_TRUE(queued().empty());
}

TEST_F(MailboxTest, ARefusedWriteBackIsReportedOnceAndTheRequestIsNotTakenAgain)
{
    const QByteArray request = packet(row("TRUE", "A01:F1-05", "TRUE"));
    write(request);
    {
        testing::FileSizeLimit diskFull(10);
        run(4);
    }
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_TRUE(reports[0].startsWith(u"Unable to write to "_s)) << reports[0].toStdString();
    EXPECT_EQ(file(), request) << "the old file stays whole";
    run(2);
    EXPECT_EQ(queued(), std::vector<Command>({{1, 154, 240, 4}})) << "taken once, though the mark came late";
    EXPECT_EQ(file(), packet(row("FALSE", "A01:F1-05", "TRUE"), declaration));
}

TEST_F(MailboxTest, AnUnchangedFileIsParsedOnce)
{
    write(packet(row("FALSE", "A01:F1-05", "TRUE")));
    run(10);
    EXPECT_EQ(mailbox.parses(), 1);
    // A new request changes the file: parsed, taken, and the file written back parsed once more.
    write(packet(row("TRUE", "A01:F1-05", "TRUE")));
    run(10);
    EXPECT_EQ(mailbox.parses(), 3);
    EXPECT_EQ(queued().size(), 1u);
    // An unusable file is not parsed again either, and reported once.
    write(packet(row("TRUE", "A01:F1-05", "TRUE")).replace("</ROWDATA>", ""));
    run(10);
    EXPECT_EQ(mailbox.parses(), 4);
    EXPECT_EQ(reports.size(), 1u);
}

// The file's work on a thread of its own: the tick returns at once, the request arrives from the
// worker through the message loop.
TEST_F(MailboxTest, TheFileIsReadOnTheWorkerThread)
{
    Mailbox threaded(loop, folder.file(u"KirvanMonitorP.cds"_s), queue, statusBar, std::make_unique<WorkerThread>(loop));
    write(packet(row("TRUE", "A01:F1-05", "TRUE")));
    threaded.bind();
    loop.waitUntil([&] { return !queued().empty(); });
    EXPECT_EQ(queued(), std::vector<Command>({{1, 154, 240, 4}}));
    EXPECT_EQ(statusBar.commandPanel(), u"          КОМАНДА: ЗАПУСТИТЬ СЦЕНАРИЙ"_s);
    EXPECT_EQ(file(), packet(row("FALSE", "A01:F1-05", "TRUE"), declaration));
}

// The writing program's protocol against the workstation's tick on the same virtual clock.
TEST_F(MailboxTest, TheClientWaitsForAFreeMailboxWritesAndReturnsWhenTaken)
{
    write(packet(row("TRUE", "A00:F1-01", "TRUE"))); // another writer's request still waits
    mailbox.bind();
    MailboxClient client(loop, folder.file(u"KirvanMonitorP.cds"_s));
    const std::int64_t start = loop.now();
    EXPECT_EQ(client.send(u"A03:22-07"_s, false, 5000), MailboxClient::Outcome::Taken);
    EXPECT_EQ(queued(), std::vector<Command>({{0, 154, 240, 0}, {3, 155, 33, 6}}));
    EXPECT_LE(loop.now() - start, 2 * Mailbox::IntervalMs + MailboxClient::PollIntervalMs);
    EXPECT_EQ(file(), packet(row("FALSE", "A03:22-07", "FALSE"), declaration));
}

TEST_F(MailboxTest, AClientThatFindsAnotherRequestWaitingAllTheTimeWritesNothing)
{
    const QByteArray other = packet(row("TRUE", "A02:F1-05", "TRUE"), declaration);
    write(other);
    MailboxClient client(loop, folder.file(u"KirvanMonitorP.cds"_s));
    EXPECT_EQ(client.send(u"A01:F1-05"_s, true, 1000), MailboxClient::Outcome::Busy);
    EXPECT_EQ(file(), other);
}

TEST_F(MailboxTest, AClientRequestNotTakenInTimeIsWithdrawn)
{
    // No workstation reads the file: the client creates it, and takes its request back at the end.
    MailboxClient client(loop, folder.file(u"KirvanMonitorP.cds"_s));
    const std::int64_t start = loop.now();
    EXPECT_EQ(client.send(u"A01:F1-05"_s, true, 3000), MailboxClient::Outcome::Withdrawn);
    EXPECT_EQ(loop.now() - start, 3000);
    EXPECT_EQ(file(), packet(row("FALSE", "A01:F1-05", "TRUE"), declaration));
    run(2); // a workstation started later finds nothing to do
    EXPECT_TRUE(queued().empty());
}

} // namespace
} // namespace kirvan
