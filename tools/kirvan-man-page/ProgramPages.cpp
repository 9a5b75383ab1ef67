#include "tools/kirvan-man-page/ManPage.h"

namespace kirvan {

namespace {

struct Text {
    const char16_t* english;
    const char16_t* russian;
    QString in(MessageLanguage language) const
    {
        return QString::fromUtf16(language == MessageLanguage::Russian ? russian : english);
    }
};

struct Entry {
    const char16_t* program;
    const char16_t* path;
    Text meaning;
};

// The folder's files first, in the order an installer meets them, then the installed program's.
const Entry entries[] = {
    {u"KirvanMonitorP", u"DIR/KirvanMonitorP.ini",
     {u"the settings (Windows-1251, CR LF), with the systems' addresses and the control modules",
      u"настройки (Windows-1251, CR LF), с адресами систем и модулями управления"}},
    {u"KirvanMonitorP", u"DIR/kirvanmonitorp.cnf",
     {u"the composition of the complex as the tree shows it", u"состав комплекса, как его показывает дерево"}},
    {u"KirvanMonitorP", u"DIR/KirvanMonitorP.txt",
     {u"the journal, every event a line; rotated ones beside it as KirvanMonitorP.txt-YYYYMMDD",
      u"журнал, каждое событие строкой; старые журналы рядом, KirvanMonitorP.txt-ГГГГММДД"}},
    {u"KirvanMonitorP", u"DIR/KirvanMonitorP.users",
     {u"the users and their access levels (kirvan-tool user); none: access is not restricted",
      u"пользователи и их уровни доступа (kirvan-tool user); без него доступ не ограничен"}},
    {u"KirvanMonitorP", u"DIR/KirvanMonitorP.signin",
     {u"the wrong passwords of each name, kept over a restart", u"неверные пароли каждого имени, сохраняются при перезапуске"}},
    {u"KirvanMonitorP", u"DIR/KirvanMonitorP.alarms",
     {u"the alarms active now and their acknowledgements, shown again after a restart",
      u"активные тревоги и их квитирование, показываются снова после перезапуска"}},
    {u"KirvanMonitorP", u"DIR/KirvanMonitorP.cds",
     {u"the command mailbox of other programs, read when present at start",
      u"почтовый ящик команд других программ, читается, если есть при запуске"}},
    {u"KirvanMonitorP", u"DIR/KirvanMonitorP.mqtt",
     {u"how far the MQTT broker has acknowledged the journal", u"докуда журнал подтверждён сервером MQTT"}},
    {u"KirvanMonitorP", u"DIR/KirvanMonitorP.pcn",
     {u"how far the receiving centre has acknowledged the journal", u"докуда журнал подтверждён пультом централизованного наблюдения"}},
    {u"KirvanMonitorP", u"DIR/.KirvanMonitorP.lock",
     {u"keeps a second workstation out of the folder", u"не даёт второй копии программы работать с папкой"}},
    {u"KirvanMonitorP", u"DIR/ports/COMn",
     {u"serial port COMn of this folder, when present (else /dev/ttyS<n-1>)",
      u"порт COMn этой папки, если он есть (иначе /dev/ttyS<n-1>)"}},
    {u"KirvanMonitorP", u"DIR/drives/X",
     {u"drive X: of paths brought from Windows, unless the settings' section Диски names another folder",
      u"диск X: путей, перенесённых из Windows, если раздел Диски настроек не называет другую папку"}},
    {u"KirvanMonitorP", u"DIR/Help/index.html",
     {u"the site's own help page (F1), else the installed one", u"своя справка объекта (F1), иначе установленная"}},
    {u"KirvanMonitorP", u"DIR/fault.wav, DIR/alarm.wav",
     {u"the site's own sounds of a fault and of an alarm, else the installed ones",
      u"свои звуки объекта для отказа и для тревоги, иначе установленные"}},
    {u"KirvanMonitorP", u"~/.local/share/kirvanmonitorp",
     {u"the workstation folder of an installed program", u"папка рабочего места установленной программы"}},
    {u"KirvanMonitorP", u"/usr/share/kirvanmonitorp",
     {u"the help page, the sounds and the demo complex", u"справка, звуки и демонстрационный комплекс"}},
    {u"KirvanMonitorP", u"/usr/lib/systemd/user/kirvanmonitorp.service",
     {u"the kiosk unit: systemctl --user enable kirvanmonitorp.service starts the workstation with the session and "
      u"again after any end",
      u"служба киоска: systemctl --user enable kirvanmonitorp.service запускает рабочее место вместе с сеансом и "
      u"снова после любого завершения"}},
    {u"KirvanMonitorP", u"/usr/share/kirvanmonitorp/kiosk/kirvanmonitorp-autostart.desktop",
     {u"the autostart entry for a session without graphical-session.target",
      u"автозапуск для сеанса без graphical-session.target"}},
    {u"KirvanMonitorP", u"/etc/logrotate.d/kirvanmonitorp",
     {u"the journal's monthly rotation, ten years kept", u"ежемесячная ротация журнала, хранится десять лет"}},
    {u"kirvan-journal", u"DIR/KirvanMonitorP.txt",
     {u"the journal shown, with its rotated predecessors; only read",
      u"показываемый журнал с прежними файлами после ротации; только чтение"}},
    {u"kirvan-journal", u"~/.cache/kirvanmonitorp/journal-index",
     {u"the index of the rotated journal files, kept for the next start",
      u"указатель строк прежних файлов журнала, хранится до следующего запуска"}},
    {u"kirvan-sim", u"DIR/ports/COMn",
     {u"the pseudo-terminal the simulator links for the workstation",
      u"псевдотерминал, который имитатор связывает для рабочего места"}},
    {u"kirvan-sim", u"DIR/KirvanMonitorP.ini",
     {u"the systems the simulator plays, by address", u"системы, которые играет имитатор, по адресам"}},
    {u"kirvan-tool", u"DIR/KirvanMonitorP.ini",
     {u"settings of the workstation (Windows-1251)", u"настройки рабочего места (Windows-1251)"}},
    {u"kirvan-tool", u"DIR/kirvanmonitorp.cnf", {u"composition of the complex", u"состав комплекса"}},
    {u"kirvan-tool", u"DIR/KirvanMonitorP.cds",
     {u"command mailbox of the workstation", u"почтовый ящик команд рабочего места"}},
    {u"kirvan-tool", u"DIR/KirvanMonitorP.users",
     {u"the users and their access levels", u"пользователи и их уровни доступа"}},
    {u"kirvan-tool", u"DIR/KirvanMonitorP.pcn",
     {u"the receiving centre's place in the journal (pcn status)", u"место пульта в журнале (pcn status)"}},
};

struct Description {
    const char16_t* program;
    Text paragraph;
};

// What --help has no room for: what the program is for and how it is used on a site.
const Description descriptions[] = {
    {u"KirvanMonitorP",
     {u"The workstation is the master of one serial line to up to four alarm systems (addresses 0 to 3). It polls "
      u"them every 800 ms and turns their reports into the journal, the composition tree, the plans with the "
      u"detectors' markers, the list of active alarms and the alarm sounds; the operator checks, resets, switches "
      u"and arms from the window. Everything it watches is described by the files of its workstation folder DIR; "
      u"one workstation works on a folder at a time.",
      u"Рабочее место ведёт одну последовательную линию к четырём системам сигнализации (адреса 0–3). Оно опрашивает "
      u"их каждые 800 мс и превращает их сообщения в журнал, дерево состава, планы с метками извещателей, список "
      u"активных тревог и звуки тревоги; оператор проверяет, сбрасывает, отключает и ставит на охрану из окна. Всё, "
      u"за чем оно следит, описано файлами папки рабочего места DIR; с папкой работает одна копия программы."}},
    {u"KirvanMonitorP",
     {u"The help page (F1) is for the operators. Installers find the guides in /usr/share/doc/kirvanmonitorp: "
      u"installing.md (package, kiosk, serial line, access levels, upgrades, backups), site-guide.md (the "
      u"system and detector files, plans, control modules), settings.md (every setting), integration.md "
      u"(mailbox, MQTT, receiving centre). SIGTERM, SIGINT and SIGHUP end the program as \"Выход\" does.",
      u"Справка (F1) написана для операторов. Наладчик найдёт руководства в /usr/share/doc/kirvanmonitorp: "
      u"installing.md (пакет, киоск, линия, уровни доступа, обновление, резервные копии), site-guide.md (файлы "
      u"систем и извещателей, планы, модули управления), settings.md (все настройки), integration.md (почтовый "
      u"ящик, MQTT, пульт). SIGTERM, SIGINT и SIGHUP завершают программу, как «Выход»."}},
    {u"kirvan-journal",
     {u"The workstation starts it with Ctrl+F3 on its own folder and closes it when it ends. Started alone it "
      u"serves a central station or an auditor with a copy of a workstation folder: it writes nothing there and "
      u"takes no lock, so it may run beside a working workstation. Filters, export to CSV and PDF and the printout "
      u"are for everyone; an export is never written into the workstation folder.",
      u"Рабочее место запускает его по Ctrl+F3 на своей папке и закрывает, завершаясь. Запущенный отдельно, он "
      u"служит центральному посту или проверяющему с копией папки рабочего места: ничего в ней не пишет и не "
      u"блокирует её, поэтому может работать рядом с работающим рабочим местом. Отбор, выгрузка в CSV и PDF и "
      u"печать доступны всем; выгрузка никогда не пишется в папку рабочего места."}},
    {u"kirvan-sim",
     {u"For training and commissioning before the panels are connected: start it on the site's workstation folder, "
      u"choose its port in the workstation and go through the detectors with fire and fault, checking the "
      u"journal, the tree and the plans; silent shows a system's link loss.",
      u"Для обучения и пусконаладки до подключения приборов: запустите его на папке рабочего места объекта, "
      u"выберите порт в рабочем месте и пройдите извещатели командами fire и fault, проверяя журнал, дерево и "
      u"планы; silent показывает потерю связи с системой."}},
    {u"kirvan-tool",
     {u"For installers and scripts: it changes the files of a workstation folder exactly as the workstation "
      u"does. Commands that change the composition or the users refuse a folder whose workstation is running. "
      u"Exit status 0 means done, 1 failed (one line on standard error), 2 a usage error.",
      u"Для наладчиков и сценариев: меняет файлы папки рабочего места так же, как само рабочее место. Команды, "
      u"меняющие состав или пользователей, не работают с папкой, где запущено рабочее место. Код выхода 0 — "
      u"сделано, 1 — не удалось (одна строка в стандартный поток ошибок), 2 — ошибка в команде."}},
};

const char16_t* const programs[] = {u"KirvanMonitorP", u"kirvan-journal", u"kirvan-sim", u"kirvan-tool"};

const char16_t* const otherPages[][2] = {
    {u"KirvanMonitorP", u"systemctl(1)"},
    {u"KirvanMonitorP", u"logrotate(8)"},
    {u"kirvan-tool", u"mosquitto(8)"},
};

} // namespace

QList<ManPageFile> programFiles(const QString& name, MessageLanguage language)
{
    QList<ManPageFile> files;
    for (const Entry& entry : entries) {
        if (name == QString::fromUtf16(entry.program))
            files.append({QString::fromUtf16(entry.path), entry.meaning.in(language)});
    }
    return files;
}

QStringList programDescription(const QString& name, MessageLanguage language)
{
    QStringList paragraphs;
    for (const Description& description : descriptions) {
        if (name == QString::fromUtf16(description.program))
            paragraphs << description.paragraph.in(language);
    }
    return paragraphs;
}

QStringList relatedPages(const QString& name)
{
    QStringList pages;
    for (const char16_t* program : programs) {
        if (name != QString::fromUtf16(program))
            pages << QString::fromUtf16(program) + QStringLiteral("(1)");
    }
    for (const auto& [program, page] : otherPages) {
        if (name == QString::fromUtf16(program))
            pages << QString::fromUtf16(page);
    }
    return pages;
}

} // namespace kirvan
