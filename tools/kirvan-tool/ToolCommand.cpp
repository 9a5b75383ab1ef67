#include "tools/kirvan-tool/ToolCommand.h"

#include "files/FileWriteError.h"
#include "files/IniFile.h"
#include "files/IniStore.h"
#include "files/IniValue.h"
#include "platform/MessageLanguage.h"
#include "tools/kirvan-tool/DecodeCommand.h"
#include "tools/kirvan-tool/MailboxCommand.h"
#include "tools/kirvan-tool/PcnCommand.h"
#include "tools/kirvan-tool/SystemCommand.h"
#include "tools/kirvan-tool/WatchCommand.h"
#include "tools/kirvan-tool/UserCommand.h"

#include <functional>
#include <map>
#include <optional>
#include <stdexcept>

namespace kirvan {

namespace {

// One line a group of commands.
QStringList synopsisLines()
{
    if (messageLanguage() == MessageLanguage::Russian)
        return {
            QStringLiteral("kirvan-tool ini КОМАНДА ФАЙЛ РАЗДЕЛ [КЛЮЧ] [ЗНАЧЕНИЕ]"),
            QStringLiteral("kirvan-tool decode [HEX ...] | decode --raw ФАЙЛ"),
            QStringLiteral(
                "kirvan-tool mailbox send АДРЕС СОСТОЯНИЕ [--dir ПАПКА] [--timeout С] | mailbox show [--dir ПАПКА]"),
            QStringLiteral("kirvan-tool system add ФАЙЛ АДРЕС --dir ПАПКА | system remove АДРЕС --dir ПАПКА"),
            QStringLiteral(
                "kirvan-tool user add ИМЯ --level N | user passwd ИМЯ | user remove ИМЯ | user list | user off [--dir ПАПКА]"),
            QStringLiteral(
                "kirvan-tool watch --server УЗЕЛ:ПОРТ [--prefix П] [--user ИМЯ] [--tls CA] [--json] [--count N]"),
            QStringLiteral("kirvan-tool pcn test [--dir ПАПКА] | pcn status [--dir ПАПКА]"),
        };
    return {
        QStringLiteral("kirvan-tool ini COMMAND FILE SECTION [KEY] [VALUE]"),
        QStringLiteral("kirvan-tool decode [HEX ...] | decode --raw FILE"),
        QStringLiteral("kirvan-tool mailbox send ADDRESS STATUS [--dir DIR] [--timeout S] | mailbox show [--dir DIR]"),
        QStringLiteral("kirvan-tool system add FILE ADDRESS --dir DIR | system remove ADDRESS --dir DIR"),
        QStringLiteral(
            "kirvan-tool user add NAME --level N | user passwd NAME | user remove NAME | user list | user off [--dir DIR]"),
        QStringLiteral("kirvan-tool watch --server HOST:PORT [--prefix P] [--user U] [--tls CA] [--json] [--count N]"),
        QStringLiteral("kirvan-tool pcn test [--dir DIR] | pcn status [--dir DIR]"),
    };
}

// The usage line of the group of commands ("system"), or of every group, under its heading. A
// wrong word gets this, not the whole help, so that what is wrong stays in sight.
QString synopsis(const QString& group = {})
{
    const QString heading = messageLanguage() == MessageLanguage::Russian ? QStringLiteral("Использование: ")
                                                                          : QStringLiteral("Usage: ");
    QString text;
    for (const QString& line : synopsisLines())
        if (group.isEmpty() || line.startsWith(QStringLiteral("kirvan-tool %1 ").arg(group)))
            text += (text.isEmpty() ? heading : QString(heading.size(), u' ')) + line + u'\n';
    return text;
}

QString usageText()
{
    if (messageLanguage() == MessageLanguage::Russian)
        return synopsis()
               + QStringLiteral(
                   "Читает и пишет INI-файлы рабочего места (Windows-1251) так же, как само рабочее место,\n"
                   "расшифровывает записи последовательной линии, оставляет запросы в почтовом ящике команд,\n"
                   "вводит системы в состав папки рабочего места и выводит их из него.\n"
                   "  ini get      ФАЙЛ РАЗДЕЛ КЛЮЧ [УМОЛЧАНИЕ]  вывести текстовое значение\n"
                   "  ini get-int  ФАЙЛ РАЗДЕЛ КЛЮЧ [УМОЛЧАНИЕ]  вывести целое значение (по умолчанию 0)\n"
                   "  ini get-real ФАЙЛ РАЗДЕЛ КЛЮЧ [УМОЛЧАНИЕ]  вывести вещественное значение (по умолчанию 0)\n"
                   "  ini set      ФАЙЛ РАЗДЕЛ КЛЮЧ ЗНАЧЕНИЕ     записать текстовое значение\n"
                   "  ini set-int  ФАЙЛ РАЗДЕЛ КЛЮЧ ЗНАЧЕНИЕ     записать целое значение\n"
                   "  ini set-real ФАЙЛ РАЗДЕЛ КЛЮЧ ЗНАЧЕНИЕ     записать вещественное значение (\",\" или \".\")\n"
                   "  ini del      ФАЙЛ РАЗДЕЛ КЛЮЧ              удалить ключ\n"
                   "  ini erase    ФАЙЛ РАЗДЕЛ                   удалить раздел\n"
                   "  ini has      ФАЙЛ РАЗДЕЛ                   код завершения 0, если раздел есть, иначе 1\n"
                   "  decode [HEX ...]     кадры в байтах (по две шестнадцатеричные цифры; без аргументов —\n"
                   "                       стандартный ввод): для каждого запись, \"answer N\" или \"ignored\"\n"
                   "  decode --raw ФАЙЛ    то же для двоичной записи линии\n"
                   "  mailbox send АДРЕС СОСТОЯНИЕ  оставить запрос в ПАПКА/KirvanMonitorP.cds и ждать, пока\n"
                   "                       рабочее место его примет (код 0), или С секунд (по умолчанию 10; код 1,\n"
                   "                       запрос отозван); АДРЕС, например A01:F1-05 (система 01, группа F —\n"
                   "                       сценарий, иначе контакт; цифра 1; элемент 05), СОСТОЯНИЕ TRUE\n"
                   "                       (замкнуть, запустить) или FALSE (разомкнуть, остановить); ПАПКА —\n"
                   "                       папка рабочего места, по умолчанию папка kirvan-tool\n"
                   "  mailbox show         первая запись почтового ящика и команда, которую она означает\n"
                   "  system add ФАЙЛ АДРЕС  ввести систему из файла конфигурации ФАЙЛ в комплекс папки\n"
                   "                       ПАПКА под адресом АДРЕС (от 0 до 3), как «Ввести в состав»\n"
                   "  system remove АДРЕС    вывести систему с адресом АДРЕС, как «Вывести из состава»;\n"
                   "                       обе команды отказываются, пока рабочее место работает в ПАПКЕ\n"
                   "  user add ИМЯ --level N  добавить пользователя с уровнем доступа N (2 — оператор,\n"
                   "                       3 — инженер) в ПАПКА/KirvanMonitorP.users; пароль вводится дважды\n"
                   "                       с терминала или один раз со стандартного ввода (--password-stdin)\n"
                   "                       пароль уровня 2 — не короче 4 знаков, уровня 3 — не короче 8\n"
                   "  user passwd ИМЯ [--level N]  сменить пароль (и уровень) пользователя\n"
                   "  user remove ИМЯ      удалить пользователя\n"
                   "  user list            имена и уровни; без файла пользователей доступ не ограничен\n"
                   "  user off             удалить файл пользователей: доступ больше не ограничен (иначе\n"
                   "                       без этого файла рабочее место закрывает доступ)\n"
                   "  watch                события рабочих мест с брокера MQTT УЗЕЛ:ПОРТ по мере поступления,\n"
                   "                       каждое один раз, строкой журнала (--json: сообщением JSON); П —\n"
                   "                       префикс тем (по умолчанию kirvan/+, все рабочие места); пароль\n"
                   "                       --user — в переменной окружения KIRVAN_MQTT_PASSWORD; CA — файл\n"
                   "                       центра сертификации для TLS; до сигнала остановки или N событий\n"
                   "  pcn test             послать пульту из раздела [ПЦН] настроек периодический тест и\n"
                   "                       вывести его ответ и время до ответа (пока рабочее место не работает)\n"
                   "  pcn status           место передачи в журнале, номер следующего сообщения и последний\n"
                   "                       ответ пульта\n"
                   "  --help | --version\n"
                   "Код завершения: 0 — выполнено, 1 — ошибка, 2 — неверная командная строка.\n");
    return synopsis()
           + QStringLiteral(
               "Reads and writes the workstation's INI files (Windows-1251) as the workstation does,\n"
               "decodes captures of the serial line, writes requests into the command mailbox and adds\n"
               "and removes alarm systems of a workstation folder.\n"
               "  ini get      FILE SECTION KEY [DEFAULT]  print a text value\n"
               "  ini get-int  FILE SECTION KEY [DEFAULT]  print an integer value (default 0)\n"
               "  ini get-real FILE SECTION KEY [DEFAULT]  print a real value (default 0)\n"
               "  ini set      FILE SECTION KEY VALUE      write a text value\n"
               "  ini set-int  FILE SECTION KEY VALUE      write an integer value\n"
               "  ini set-real FILE SECTION KEY VALUE      write a real value (\",\" or \".\")\n"
               "  ini del      FILE SECTION KEY            delete a key\n"
               "  ini erase    FILE SECTION                erase a section\n"
               "  ini has      FILE SECTION                exit 0 when the section exists, 1 otherwise\n"
               "  decode [HEX ...]     the frames in the bytes (two hexadecimal digits each; standard\n"
               "                       input without arguments): a record, \"answer N\" or \"ignored\" each\n"
               "  decode --raw FILE    the same for a binary capture\n"
               "  mailbox send ADDRESS STATUS  leave a request in DIR/KirvanMonitorP.cds and wait until\n"
               "                       the workstation takes it (exit 0) or S seconds (default 10) pass\n"
               "                       (exit 1, the request withdrawn); ADDRESS e.g. A01:F1-05 (system 01,\n"
               "                       group F = scenario, else a contact; digit 1; element 05), STATUS TRUE\n"
               "                       (close, start) or FALSE (open, stop); DIR: the workstation folder,\n"
               "                       by default the folder of kirvan-tool\n"
               "  mailbox show         the mailbox's first record and the command it stands for\n"
               "  system add FILE ADDRESS  take the system of the configuration file FILE into the complex\n"
               "                       of DIR under ADDRESS (0 to 3), as \"Ввести в состав\" does\n"
               "  system remove ADDRESS    take the system at ADDRESS out, as \"Вывести из состава\" does;\n"
               "                       both refuse while the workstation runs on DIR\n"
               "  user add NAME --level N  add a user of access level N (2 operator, 3 engineer) to\n"
               "                       DIR/KirvanMonitorP.users; the password is typed twice on the\n"
               "                       terminal, or read once from standard input (--password-stdin)\n"
               "                       a password of level 2 has 4 characters at least, of level 3 8\n"
               "  user passwd NAME [--level N]  change the user's password (and level)\n"
               "  user remove NAME     remove the user\n"
               "  user list            names and levels; without the user file access is not restricted\n"
               "  user off             remove the user file: access is not restricted any more (without\n"
               "                       it otherwise, the workstation closes access)\n"
               "  watch                the events of the workstations on the MQTT broker HOST:PORT as\n"
               "                       they come, each once, as the journal line (--json: the JSON message);\n"
               "                       P: the topic prefix (default kirvan/+, every workstation); the\n"
               "                       password of --user from the environment variable KIRVAN_MQTT_PASSWORD;\n"
               "                       CA: the certificate authority file for TLS; until a stop signal or N events\n"
               "  pcn test             send the receiving centre of the [ПЦН] settings a periodic test\n"
               "                       report and print its answer and round trip (while no workstation runs)\n"
               "  pcn status           where the transmission stands in the journal, the next message's\n"
               "                       number and the receiving centre's last answer\n"
               "  --help | --version\n"
               "Exit status: 0 done, 1 failed, 2 usage error.\n");
}

// A command line that does not fit a command.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Arguments {
    const QStringList& list;

    const QString& at(qsizetype i) const { return list[i]; }
    void requireCount(qsizetype least, qsizetype most) const
    {
        if (list.size() < least || list.size() > most)
            throw UsageError("wrong number of arguments");
    }
    template <typename T> T numberAt(qsizetype i, T fallback, std::optional<T> (*parse)(QStringView)) const
    {
        if (i >= list.size())
            return fallback;
        const auto value = parse(list[i]);
        if (!value)
            throw UsageError(QStringLiteral("not a number: %1").arg(list[i]).toStdString());
        return *value;
    }
};

using Command = std::function<int(const Arguments&, IniFile&, QTextStream&, QTextStream&)>;

// Each command with its arguments after FILE: SECTION [KEY] [VALUE|DEFAULT].
const std::map<QString, Command>& commands()
{
    static const std::map<QString, Command> table = {
        {QStringLiteral("get"),
         [](const Arguments& a, IniFile& ini, QTextStream& out, QTextStream&) {
             a.requireCount(2, 3);
             out << ini.readString(a.at(0), a.at(1), a.list.value(2)) << '\n';
             return int(ToolOk);
         }},
        {QStringLiteral("get-int"),
         [](const Arguments& a, IniFile& ini, QTextStream& out, QTextStream&) {
             a.requireCount(2, 3);
             out << ini.readInteger(a.at(0), a.at(1), a.numberAt<int>(2, 0, inivalue::parseInteger)) << '\n';
             return int(ToolOk);
         }},
        {QStringLiteral("get-real"),
         [](const Arguments& a, IniFile& ini, QTextStream& out, QTextStream&) {
             a.requireCount(2, 3);
             const double value = ini.readFloat(a.at(0), a.at(1), a.numberAt<double>(2, 0.0, inivalue::parseReal));
             out << inivalue::formatReal(value, QLatin1Char('.')) << '\n';
             return int(ToolOk);
         }},
        {QStringLiteral("set"),
         [](const Arguments& a, IniFile& ini, QTextStream&, QTextStream& err) {
             a.requireCount(3, 3);
             if (const qsizetype lost = ini.writeString(a.at(0), a.at(1), a.at(2)); lost > 0)
                 err << "kirvan-tool: " << lost << " character(s) not in Windows-1251 were written as \"?\"\n";
             return int(ToolOk);
         }},
        {QStringLiteral("set-int"),
         [](const Arguments& a, IniFile& ini, QTextStream&, QTextStream&) {
             a.requireCount(3, 3);
             ini.writeInteger(a.at(0), a.at(1), a.numberAt<int>(2, 0, inivalue::parseInteger));
             return int(ToolOk);
         }},
        {QStringLiteral("set-real"),
         [](const Arguments& a, IniFile& ini, QTextStream&, QTextStream&) {
             a.requireCount(3, 3);
             ini.writeFloat(a.at(0), a.at(1), a.numberAt<double>(2, 0.0, inivalue::parseReal));
             return int(ToolOk);
         }},
        {QStringLiteral("del"),
         [](const Arguments& a, IniFile& ini, QTextStream&, QTextStream& err) {
             a.requireCount(2, 2);
             if (ini.deleteKey(a.at(0), a.at(1)))
                 return int(ToolOk);
             err << "kirvan-tool: " << FileWriteError(ini.path()).what() << '\n';
             return int(ToolFailed);
         }},
        {QStringLiteral("erase"),
         [](const Arguments& a, IniFile& ini, QTextStream&, QTextStream&) {
             a.requireCount(1, 1);
             ini.eraseSection(a.at(0));
             return int(ToolOk);
         }},
        {QStringLiteral("has"),
         [](const Arguments& a, IniFile& ini, QTextStream&, QTextStream&) {
             a.requireCount(1, 1);
             return int(ini.sectionExists(a.at(0)) ? ToolOk : ToolFailed);
         }},
    };
    return table;
}

using GroupCommand = std::function<int(const QStringList&, const ToolPlatform&, QTextStream&, QTextStream&, QTextStream&)>;

// The groups of commands besides ini, each given the words after its name.
const std::map<QString, GroupCommand>& groups()
{
    static const std::map<QString, GroupCommand> table = {
        {QStringLiteral("system"), [](const QStringList& a, const ToolPlatform& p, QTextStream&, QTextStream& out,
                                      QTextStream& err) { return runSystemCommand(a, p, out, err); }},
        {QStringLiteral("mailbox"),
         [](const QStringList& a, const ToolPlatform& p, QTextStream&, QTextStream& out, QTextStream& err) {
             return runMailboxCommand(a, p.loop, p.defaultFolder, out, err);
         }},
        {QStringLiteral("user"), runUserCommand},
        {QStringLiteral("pcn"), [](const QStringList& a, const ToolPlatform& p, QTextStream&, QTextStream& out,
                                   QTextStream& err) { return runPcnCommand(a, p, out, err); }},
        {QStringLiteral("watch"), [](const QStringList& a, const ToolPlatform&, QTextStream&, QTextStream& out,
                                     QTextStream& err) { return runWatchCommand(a, out, err); }},
        {QStringLiteral("decode"), [](const QStringList& a, const ToolPlatform&, QTextStream& in, QTextStream& out,
                                      QTextStream& err) { return runDecodeCommand(a, in, out, err); }},
    };
    return table;
}

} // namespace

int runToolCommand(const QStringList& arguments, const ToolPlatform& platform, QTextStream& in, QTextStream& out,
                   QTextStream& err)
{
    if (const auto group = arguments.isEmpty() ? groups().end() : groups().find(arguments[0]); group != groups().end()) {
        const int status = group->second(arguments.mid(1), platform, in, out, err);
        if (status == ToolUsage)
            err << synopsis(group->first);
        return status;
    }
    if (arguments.size() == 1 && arguments[0] == QLatin1String("--help")) {
        out << usageText();
        return ToolOk;
    }
    if (arguments.size() == 1 && arguments[0] == QLatin1String("--version")) {
        out << "kirvan-tool " << KIRVAN_VERSION << '\n';
        return ToolOk;
    }
    const bool iniGroup = !arguments.isEmpty() && arguments[0] == QLatin1String("ini");
    try {
        if (!iniGroup)
            throw UsageError(arguments.isEmpty() ? "no command given"
                                                 : QStringLiteral("unknown command: %1").arg(arguments[0]).toStdString());
        if (arguments.size() < 3)
            throw UsageError("expected: ini COMMAND FILE ...");
        const auto command = commands().find(arguments[1]);
        if (command == commands().end())
            throw UsageError(QStringLiteral("unknown command: %1").arg(arguments[1]).toStdString());
        IniFile ini(platform.store, arguments[2]);
        const QStringList rest = arguments.mid(3);
        return command->second(Arguments{rest}, ini, out, err);
    } catch (const UsageError& error) {
        err << "kirvan-tool: " << QString::fromStdString(error.what()) << '\n'
            << synopsis(iniGroup ? QStringLiteral("ini") : QString());
        return ToolUsage;
    } catch (const std::exception& error) {
        err << "kirvan-tool: " << QString::fromStdString(error.what()) << '\n';
        return ToolFailed;
    }
}

} // namespace kirvan
