#include "tools/kirvan-tool/ToolCommand.h"

#include "files/IniFile.h"
#include "files/IniStore.h"
#include "files/WorkstationLock.h"
#include "mailbox/Mailbox.h"
#include "link/CommandQueue.h"
#include "platform/StatusBar.h"
#include "platform/Timer.h"
#include "tests/support/FixedLocale.h"
#include "tests/support/InlineWorker.h"
#include "tests/support/TempFolder.h"
#include "tests/support/VirtualMessageLoop.h"
#include "tests/support/WorkedExample.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace kirvan {
namespace {

using testing::TempFolder;

class ToolCommandTest : public ::testing::Test {
protected:
    struct Result {
        int status;
        QString out;
        QString err;
    };

    Result run(QStringList arguments)
    {
        for (QString& argument : arguments)
            argument.replace(u"FILE"_s, folder.file(u"Склад.tb0"_s));
        QString out;
        QString err;
        QString input = standardInput;
        QTextStream inStream(&input);
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        const int status = runToolCommand(arguments,
                                          ToolPlatform{store, loop, clock, locale, folder.path(), HashCost::cheapest()},
                                          inStream, outStream, errStream);
        outStream.flush();
        errStream.flush();
        return {status, out, err};
    }

    testing::FixedLocale locale;
    testing::FixedClock clock;
    IniStore store{locale};
    testing::VirtualMessageLoop loop;
    TempFolder folder;
    QString standardInput;
};

TEST_F(ToolCommandTest, WritesAndReadsBackEveryKindOfValue)
{
    EXPECT_EQ(run({u"ini"_s, u"set"_s, u"FILE"_s, u"И01-05"_s, u"ТЕКСТ"_s, u"Коридор"_s}).status, ToolOk);
    EXPECT_EQ(run({u"ini"_s, u"set-int"_s, u"FILE"_s, u"И01-05"_s, u"N"_s, u"-12"_s}).status, ToolOk);
    EXPECT_EQ(run({u"ini"_s, u"set-real"_s, u"FILE"_s, u"И01-05"_s, u"X"_s, u"3.5"_s}).status, ToolOk);
    EXPECT_EQ(folder.readText(u"Склад.tb0"_s), u"[И01-05]\r\nТЕКСТ=Коридор\r\nN=-12\r\nX=3,5\r\n"_s);

    EXPECT_EQ(run({u"ini"_s, u"get"_s, u"FILE"_s, u"и01-05 "_s, u"текст"_s}).out, u"Коридор\n"_s);
    EXPECT_EQ(run({u"ini"_s, u"get-int"_s, u"FILE"_s, u"И01-05"_s, u"N"_s}).out, u"-12\n"_s);
    EXPECT_EQ(run({u"ini"_s, u"get-real"_s, u"FILE"_s, u"И01-05"_s, u"X"_s}).out, u"3.5\n"_s);
    EXPECT_EQ(run({u"ini"_s, u"get-real"_s, u"FILE"_s, u"И01-05"_s, u"Y"_s, u"-1"_s}).out, u"-1\n"_s);
    EXPECT_EQ(run({u"ini"_s, u"get"_s, u"FILE"_s, u"И01-05"_s, u"ТИП"_s, u"ДЫМОВОЙ"_s}).out, u"ДЫМОВОЙ\n"_s);
}

TEST_F(ToolCommandTest, HasAnswersByExitStatusAndEraseAndDelRemove)
{
    folder.writeText(u"Склад.tb0"_s, u"[A]\nk=1\n[B]\nk=2\n"_s);
    EXPECT_EQ(run({u"ini"_s, u"has"_s, u"FILE"_s, u"A"_s}).status, ToolOk);
    EXPECT_EQ(run({u"ini"_s, u"has"_s, u"FILE"_s, u"C"_s}).status, ToolFailed);
    EXPECT_EQ(run({u"ini"_s, u"erase"_s, u"FILE"_s, u"A"_s}).status, ToolOk);
    EXPECT_EQ(run({u"ini"_s, u"del"_s, u"FILE"_s, u"B"_s, u"k"_s}).status, ToolOk);
    EXPECT_EQ(run({u"ini"_s, u"has"_s, u"FILE"_s, u"A"_s}).status, ToolFailed);
    EXPECT_EQ(run({u"ini"_s, u"has"_s, u"FILE"_s, u"B"_s}).status, ToolFailed);
}

TEST_F(ToolCommandTest, CharactersOutsideTheCodePageAreWrittenAsQuestionMarksWithAWarning)
{
    const auto result = run({u"ini"_s, u"set"_s, u"FILE"_s, u"S"_s, u"K"_s, u"Ω"_s});
    EXPECT_EQ(result.status, ToolOk);
    EXPECT_TRUE(result.err.contains(u"1 character(s) not in Windows-1251"_s)) << result.err.toStdString();
    EXPECT_EQ(folder.readText(u"Склад.tb0"_s), u"[S]\r\nK=?\r\n"_s);
}

TEST_F(ToolCommandTest, RefusedWriteFailsWithOneLine)
{
    const auto result = run({u"ini"_s, u"set"_s, folder.file(u"missing/x.ini"_s), u"S"_s, u"K"_s, u"V"_s});
    EXPECT_EQ(result.status, ToolFailed);
    EXPECT_EQ(result.err, u"kirvan-tool: Unable to write to "_s + folder.file(u"missing/x.ini"_s) + u'\n');
}

struct UsageCase {
    const char* name;
    QStringList arguments;
    QString usage = u"Usage: kirvan-tool ini "_s; // how the line after what is wrong begins
    qsizetype lines = 2; // what is wrong, then the usage of the command's group
    friend void PrintTo(const UsageCase& c, std::ostream* os) { *os << c.name; }
};

class ToolUsageTest : public ToolCommandTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(ToolUsageTest, MalformedCommandLineExitsWithStatusTwoWhatIsWrongAndTheUsageLine)
{
    const auto result = run(GetParam().arguments);
    EXPECT_EQ(result.status, ToolUsage);
    const QStringList lines = result.err.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), GetParam().lines) << result.err.toStdString();
    EXPECT_TRUE(lines[0].startsWith(u"kirvan-tool: "_s)) << result.err.toStdString();
    EXPECT_TRUE(lines[1].startsWith(GetParam().usage)) << result.err.toStdString();
    EXPECT_TRUE(result.out.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, ToolUsageTest,
    ::testing::Values(UsageCase{"Nothing", {}, u"Usage: kirvan-tool ini "_s, 8},
                      UsageCase{"UnknownGroup", {u"cfg"_s, u"get"_s, u"FILE"_s}, u"Usage: kirvan-tool ini "_s, 8},
                      UsageCase{"UnknownCommand", {u"ini"_s, u"fetch"_s, u"FILE"_s, u"S"_s}},
                      UsageCase{"MissingKey", {u"ini"_s, u"get"_s, u"FILE"_s, u"S"_s}},
                      UsageCase{"TooManyArguments", {u"ini"_s, u"erase"_s, u"FILE"_s, u"S"_s, u"K"_s}},
                      UsageCase{"IntegerNotANumber", {u"ini"_s, u"set-int"_s, u"FILE"_s, u"S"_s, u"K"_s, u"x"_s}},
                      UsageCase{"RealNotANumber", {u"ini"_s, u"set-real"_s, u"FILE"_s, u"S"_s, u"K"_s, u"3,5,1"_s}},
                      UsageCase{"BadDefault", {u"ini"_s, u"get-int"_s, u"FILE"_s, u"S"_s, u"K"_s, u"ten"_s}},
                      UsageCase{"SystemAddressOutOfRange",
                                {u"system"_s, u"add"_s, u"FILE"_s, u"4"_s, u"--dir"_s, u"."_s},
                                u"Usage: kirvan-tool system add "_s},
                      UsageCase{"MailboxStatus",
                                {u"mailbox"_s, u"send"_s, u"A01:F1-05"_s, u"maybe"_s},
                                u"Usage: kirvan-tool mailbox send "_s},
                      UsageCase{"UserLevel",
                                {u"user"_s, u"add"_s, u"Иванов"_s, u"--level"_s, u"4"_s},
                                u"Usage: kirvan-tool user add "_s},
                      UsageCase{"WatchCount",
                                {u"watch"_s, u"--server"_s, u"broker:1883"_s, u"--count"_s, u"0"_s},
                                u"Usage: kirvan-tool watch "_s},
                      UsageCase{"DecodeHex", {u"decode"_s, u"0G"_s}, u"Usage: kirvan-tool decode "_s}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(ToolCommandTest, DecodePrintsEveryFrameOfAStreamInOrder)
{
    // A fire, noise, an answer of system 2, an own frame heard back, a frame with a wrong
    // checksum, then two worked examples split over arguments.
    const auto result = run({u"decode"_s, u"20 01 94 12 04 00 34 FF 13"_s, u"20 02 00 00 00 00 DD"_s,
                             u"02 20 9E 05 03 00 37"_s, u"20 01 94 12 04 00 35"_s,
                             u"20 01 8A 85 3F 00 90 20 03 22 4A 09 00 67"_s});
    EXPECT_EQ(result.status, ToolOk);
    EXPECT_EQ(result.out, u"01/И13-05/07\nanswer 2\nignored\n01/И06-64/06\n03/B31/10/99\n"_s);
}

TEST_F(ToolCommandTest, DecodeReadsStandardInputWithoutArguments)
{
    standardInput = u"20 00 23 0a 04 00 ae\n20 01 96\n12 3D 00 F9\n"_s;
    EXPECT_EQ(run({u"decode"_s}).out, u"00/И13-05/08\n01/И13-62/32\n"_s);
}

TEST_F(ToolCommandTest, DecodeReadsARawCapture)
{
    folder.write(u"capture.bin"_s, QByteArray::fromHex("ff2003ff000000dd2003ff000000dd"));
    const auto result = run({u"decode"_s, u"--raw"_s, folder.file(u"capture.bin"_s)});
    EXPECT_EQ(result.out, u"03/И01-01/23\n03/И01-01/23\n"_s);
    EXPECT_EQ(result.status, ToolOk);
}

TEST_F(ToolCommandTest, DecodeRefusesMalformedHex)
{
    for (const QString& bad : {u"2"_s, u"20 0G"_s, u"200"_s}) {
        const auto result = run({u"decode"_s, bad});
        EXPECT_EQ(result.status, ToolUsage) << bad.toStdString();
        EXPECT_TRUE(result.err.contains(u"not a two-digit hexadecimal byte"_s));
        EXPECT_TRUE(result.out.isEmpty());
    }
    EXPECT_EQ(run({u"decode"_s, u"--raw"_s, folder.file(u"missing.bin"_s)}).status, ToolFailed);
}

TEST_F(ToolCommandTest, HelpAndVersion)
{
    EXPECT_EQ(run({u"--help"_s}).status, ToolOk);
    EXPECT_TRUE(run({u"--version"_s}).out.startsWith(u"kirvan-tool "_s));
}

TEST_F(ToolCommandTest, MailboxSendReturnsOnceTheWorkstationHasTakenTheRequest)
{
    folder.write(u"KirvanMonitorP.cds"_s, {}); // created empty, so that the workstation binds to it
    CommandQueue queue;
    StatusBar statusBar;
    Mailbox workstation(loop, folder.file(u"KirvanMonitorP.cds"_s), queue, statusBar,
                        std::make_unique<testing::InlineWorker>());
    workstation.bind();

    const auto result = run({u"mailbox"_s, u"send"_s, u"A01:F1-05"_s, u"true"_s, u"--dir"_s, folder.path()});
    EXPECT_EQ(result.status, ToolOk) << result.err.toStdString();
    EXPECT_EQ(result.out, u"taken: КОМАНДА: ЗАПУСТИТЬ СЦЕНАРИЙ: система 1, код 154, параметры 240 и 4\n"_s);
    EXPECT_EQ(queue.slot(0), (Command{1, 154, 240, 4}));

    const auto shown = run({u"mailbox"_s, u"show"_s, u"--dir"_s, folder.path()});
    EXPECT_EQ(shown.out, u"records: 1\nupdate: FALSE\naddress: A01:F1-05\nstatus: TRUE\n"
                         u"command: КОМАНДА: ЗАПУСТИТЬ СЦЕНАРИЙ: система 1, код 154, параметры 240 и 4\n"_s);
}

TEST_F(ToolCommandTest, MailboxSendWithoutAWorkstationTimesOutAndWithdrawsTheRequest)
{
    const auto result = run(
        {u"mailbox"_s, u"send"_s, u"A02:31-01"_s, u"FALSE"_s, u"--timeout"_s, u"1.5"_s, u"--dir"_s, folder.path()});
    EXPECT_EQ(result.status, ToolFailed);
    EXPECT_TRUE(result.err.contains(u"withdrawn"_s)) << result.err.toStdString();
    EXPECT_EQ(loop.now(), 1500);
    EXPECT_TRUE(run({u"mailbox"_s, u"show"_s, u"--dir"_s, folder.path()}).out.contains(u"update: FALSE\n"_s));
}

TEST_F(ToolCommandTest, MailboxRefusesBadRequestsBeforeTouchingTheFile)
{
    for (const QStringList& arguments : {QStringList{u"mailbox"_s, u"send"_s, u"A01:F1-0"_s, u"TRUE"_s},
                                         {u"mailbox"_s, u"send"_s, u"A0x:F1-05"_s, u"TRUE"_s},
                                         {u"mailbox"_s, u"send"_s, u"A01:F1-05"_s, u"maybe"_s},
                                         {u"mailbox"_s, u"send"_s, u"A01:F1-05"_s},
                                         {u"mailbox"_s, u"send"_s, u"A01:F1-05"_s, u"TRUE"_s, u"--timeout"_s, u"-1"_s},
                                         {u"mailbox"_s, u"show"_s, u"--dir"_s}}) {
        const auto result = run(arguments);
        EXPECT_EQ(result.status, ToolUsage) << arguments.join(u' ').toStdString();
        EXPECT_TRUE(result.err.contains(u"Usage: kirvan-tool"_s));
    }
    EXPECT_FALSE(QFile::exists(folder.file(u"KirvanMonitorP.cds"_s)));
    EXPECT_EQ(run({u"mailbox"_s, u"show"_s, u"--dir"_s, folder.path()}).status, ToolFailed) << "no mailbox file";
}

class SystemToolTest : public ToolCommandTest {
protected:
    SystemToolTest()
    {
        folder.writeText(u"KirvanMonitorP.ini"_s, u"[Настройки]\nCOM-порт=1\nТаблица=0\n[ОБЩИЙ ПЛАН]\n0=\n"
                                                  u"[АДРЕС]\n00=\n01=\n02=\n03=\n"_s
                                                      + modules);
        systemFile = testing::writeWarehouse(folder);
    }
    QString systemFile;
    // A control module of the system to come, and one of another system.
    const QString modules = u"[МОДУЛЬ УПРАВЛЕНИЯ 1]\nСИСТЕМА=A01:СКЛАД\nЗОНА=Цех 1\nСЦЕНАРИЙ=3\nРЕЖИМ=АВТОМАТ\n"
                            u"[МОДУЛЬ УПРАВЛЕНИЯ 2]\nСИСТЕМА=A02:ОФИС\nЗОНА=Холл\nСЦЕНАРИЙ=4\nРЕЖИМ=РУЧНОЙ\n"_s;
};

TEST_F(SystemToolTest, AddAndRemoveWriteTheFilesTheWindowsCommandsWrite)
{
    const auto added = run({u"system"_s, u"add"_s, systemFile, u"1"_s, u"--dir"_s, folder.path()});
    EXPECT_EQ(added.status, ToolOk) << added.err.toStdString();
    EXPECT_EQ(added.out, u"added A01:СКЛАД (zones: 1, detectors: 3)\n"_s) << "ЗОНА 2 has no detectors";
    EXPECT_EQ(folder.readText(u"kirvanmonitorp.cnf"_s), testing::warehouseLines());
    EXPECT_EQ(folder.readText(u"KirvanMonitorP.ini"_s),
              u"[Настройки]\r\nCOM-порт=1\r\nТаблица=0\r\n[ОБЩИЙ ПЛАН]\r\n0=\r\n"
              u"[АДРЕС]\r\n00=\r\n01="_s
                  + systemFile + u"\r\n02=\r\n03=\r\n"_s + QString(modules).replace(u"\n"_s, u"\r\n"_s));
    EXPECT_TRUE(folder.readText(u"Склад.cnf"_s).startsWith(u"[СИСТЕМА]\r\nАДРЕС=01\r\n"_s));

    const auto removed = run({u"system"_s, u"remove"_s, u"1"_s, u"--dir"_s, folder.path()});
    EXPECT_EQ(removed.status, ToolOk) << removed.err.toStdString();
    EXPECT_EQ(removed.out, u"removed A01:СКЛАД\n"_s);
    EXPECT_EQ(folder.readText(u"kirvanmonitorp.cnf"_s), QString());
    const QString settings = folder.readText(u"KirvanMonitorP.ini"_s);
    EXPECT_TRUE(settings.contains(u"[АДРЕС]\r\n00=\r\n01=\r\n02="_s)) << settings.toStdString();
    EXPECT_FALSE(settings.contains(u"A01:СКЛАД"_s)) << "its control module is erased";
    EXPECT_TRUE(settings.contains(u"СИСТЕМА=A02:ОФИС"_s)) << "another system's module stays";
    EXPECT_EQ(folder.readText(u"KirvanMonitorP.txt"_s),
              u"08.12.2023 9:15:02 СИСТЕМА A01:СКЛАД ВВЕДЕНА В СОСТАВ КОМПЛЕКСА\r\n"
              u"08.12.2023 9:15:02 СИСТЕМА СКЛАД ВЫВЕДЕНА ИЗ СОСТАВА КОМПЛЕКСА\r\n"_s);
}

TEST_F(SystemToolTest, RefusalsChangeNothing)
{
    const QByteArray settings = folder.read(u"KirvanMonitorP.ini"_s);
    const auto lock = WorkstationLock::acquire(folder.path());
    ASSERT_TRUE(lock);
    for (const QStringList& arguments :
         {QStringList{u"system"_s, u"add"_s, systemFile, u"1"_s, u"--dir"_s, folder.path()},
          QStringList{u"system"_s, u"remove"_s, u"1"_s, u"--dir"_s, folder.path()}}) {
        const auto running = run(arguments);
        EXPECT_EQ(running.status, ToolFailed);
        EXPECT_TRUE(running.err.contains(WorkstationLock::heldMessage(folder.path()))) << running.err.toStdString();
    }

    struct Refusal {
        QStringList arguments;
        int status;
        QString says;
    };
    const TempFolder elsewhere;
    for (const Refusal& refusal :
         {Refusal{{u"system"_s, u"add"_s, systemFile, u"4"_s, u"--dir"_s, folder.path()}, ToolUsage, u"0..3"_s},
          Refusal{{u"system"_s, u"add"_s, systemFile, u"один"_s, u"--dir"_s, folder.path()}, ToolUsage, u"0..3"_s},
          Refusal{{u"system"_s, u"add"_s, systemFile, u"1"_s}, ToolUsage, u"--dir"_s},
          Refusal{{u"system"_s, u"add"_s, folder.file(u"Нет.cnf"_s), u"1"_s, u"--dir"_s, folder.path()},
                  ToolFailed,
                  u"no system file"_s},
          Refusal{{u"system"_s, u"add"_s, systemFile, u"1"_s, u"--dir"_s, elsewhere.path()},
                  ToolFailed,
                  u"not a workstation folder"_s},
          Refusal{{u"system"_s, u"remove"_s, u"2"_s, u"--dir"_s, elsewhere.path()},
                  ToolFailed,
                  u"not a workstation folder"_s}}) {
        const auto result = run(refusal.arguments);
        EXPECT_EQ(result.status, refusal.status) << refusal.arguments.join(u' ').toStdString();
        EXPECT_TRUE(result.err.contains(refusal.says)) << result.err.toStdString();
    }
    EXPECT_EQ(folder.read(u"KirvanMonitorP.ini"_s), settings);
    EXPECT_FALSE(QFile::exists(folder.file(u"kirvanmonitorp.cnf"_s)));
    EXPECT_FALSE(QFile::exists(folder.file(u"KirvanMonitorP.txt"_s)));
}

TEST_F(SystemToolTest, ASystemFileTheWorkstationCannotUseIsRefusedWritingNothing)
{
    ASSERT_TRUE(QDir(folder.path()).mkdir(u"Zoé"_s));
    folder.writeText(u"Zoé/Sklad.cnf"_s, u"[СИСТЕМА]\n[ЗОНА]\n1=Холл\n"_s);
    folder.writeText(u"Дом.cnf"_s, u"[СИСТЕМА]\n[ЗОНА]\n1=Холл\n"_s);
    folder.write(u"Рисунок.cnf"_s, QByteArray("\x89PNG\r\n\x1a\n\0\0", 10));
    ASSERT_EQ(run({u"system"_s, u"add"_s, systemFile, u"1"_s, u"--dir"_s, folder.path()}).status, ToolOk);
    const auto before = folder.snapshot();
    for (const auto& [file, address, says] : {std::tuple{u"Zoé/Sklad.cnf"_s, u"2"_s, u"\"é\""_s},
                                              {u"kirvanmonitorp.cnf"_s, u"2"_s, u"файл состава"_s},
                                              {u"KirvanMonitorP.ini"_s, u"2"_s, u"файл настроек"_s},
                                              {u"Рисунок.cnf"_s, u"2"_s, u"[СИСТЕМА]"_s},
                                              {u"Дом.cnf"_s, u"1"_s, u"занят системой A01:СКЛАД"_s}}) {
        const auto result = run({u"system"_s, u"add"_s, folder.file(file), address, u"--dir"_s, folder.path()});
        EXPECT_EQ(result.status, ToolFailed) << file.toStdString();
        EXPECT_TRUE(result.err.contains(says)) << result.err.toStdString();
        EXPECT_EQ(folder.snapshot(), before) << file.toStdString();
    }
}

TEST_F(SystemToolTest, ASystemAfterADamagedLineIsRemovedWithOnlyItsOwnLines)
{
    // The second line is two levels too deep: a load stops there, and A01 never reaches the tree.
    const QByteArray before = QByteArray("A00:X\r\n\t\t\tDAMAGED\r\nA01:") + testing::crlf1251(u"СКЛАД\n\tЦех 1\n"_s)
                              + "A02:Y\r\n\tW";
    folder.write(u"kirvanmonitorp.cnf"_s, before);
    IniFile(store, folder.file(u"KirvanMonitorP.ini"_s)).writeString(u"АДРЕС", u"01", systemFile);
    const auto removed = run({u"system"_s, u"remove"_s, u"1"_s, u"--dir"_s, folder.path()});
    EXPECT_EQ(removed.status, ToolOk) << removed.err.toStdString();
    EXPECT_EQ(removed.out, u"removed A01:СКЛАД\n"_s);
    EXPECT_EQ(folder.read(u"kirvanmonitorp.cnf"_s), QByteArray("A00:X\r\n\t\t\tDAMAGED\r\nA02:Y\r\n\tW"));
    EXPECT_TRUE(folder.readText(u"KirvanMonitorP.ini"_s).contains(u"\r\n01=\r\n"_s));
}

TEST_F(SystemToolTest, RemovingAnAddressWithoutASystemIsRefused)
{
    EXPECT_EQ(run({u"system"_s, u"add"_s, systemFile, u"1"_s, u"--dir"_s, folder.path()}).status, ToolOk);
    const auto result = run({u"system"_s, u"remove"_s, u"2"_s, u"--dir"_s, folder.path()});
    EXPECT_EQ(result.status, ToolFailed);
    EXPECT_TRUE(result.err.contains(u"no system with address 02"_s)) << result.err.toStdString();
    EXPECT_EQ(folder.readText(u"kirvanmonitorp.cnf"_s), testing::warehouseLines());
}

} // namespace
} // namespace kirvan
