#include "tools/kirvan-man-page/ManPage.h"

namespace kirvan {

namespace {

struct Entry {
    const char16_t* program;
    const char16_t* path;
    const char16_t* english;
    const char16_t* russian;
};

const Entry entries[] = {
    {u"KirvanMonitorP", u"DIR/KirvanMonitorP.ini", u"settings of the workstation (Windows-1251)",
     u"настройки рабочего места (Windows-1251)"},
    {u"KirvanMonitorP", u"DIR/kirvanmonitorp.cnf", u"composition of the complex", u"состав комплекса"},
    {u"KirvanMonitorP", u"DIR/KirvanMonitorP.txt", u"the journal, every event a line", u"журнал, каждое событие строкой"},
    {u"KirvanMonitorP", u"DIR/KirvanMonitorP.cds", u"command mailbox of other programs",
     u"почтовый ящик команд других программ"},
    {u"KirvanMonitorP", u"DIR/.KirvanMonitorP.lock", u"keeps a second workstation out of the folder",
     u"не даёт второй копии программы работать с папкой"},
    {u"KirvanMonitorP", u"DIR/ports/COMn", u"serial port COMn of this folder, when present (else /dev/ttyS<n-1>)",
     u"порт COMn этой папки, если он есть (иначе /dev/ttyS<n-1>)"},
    {u"KirvanMonitorP", u"~/.local/share/kirvanmonitorp", u"the workstation folder of an installed program",
     u"папка рабочего места установленной программы"},
    {u"KirvanMonitorP", u"/usr/share/kirvanmonitorp", u"the help page, the sounds and the demo complex",
     u"справка, звуки и демонстрационный комплекс"},
    {u"kirvan-journal", u"DIR/KirvanMonitorP.txt", u"the journal shown, with its rotated predecessors; only read",
     u"показываемый журнал с прежними файлами после ротации; только чтение"},
    {u"kirvan-journal", u"~/.cache/kirvanmonitorp/journal-index", u"the index of the rotated journal files, kept for the next start",
     u"указатель строк прежних файлов журнала, хранится до следующего запуска"},
    {u"kirvan-sim", u"DIR/ports/COMn", u"the pseudo-terminal the simulator links for the workstation",
     u"псевдотерминал, который имитатор связывает для рабочего места"},
    {u"kirvan-sim", u"DIR/KirvanMonitorP.ini", u"the systems the simulator plays, by address",
     u"системы, которые играет имитатор, по адресам"},
    {u"kirvan-tool", u"DIR/KirvanMonitorP.ini", u"settings of the workstation (Windows-1251)",
     u"настройки рабочего места (Windows-1251)"},
    {u"kirvan-tool", u"DIR/kirvanmonitorp.cnf", u"composition of the complex", u"состав комплекса"},
    {u"kirvan-tool", u"DIR/KirvanMonitorP.cds", u"command mailbox of the workstation",
     u"почтовый ящик команд рабочего места"},
};

const char16_t* const programs[] = {u"KirvanMonitorP", u"kirvan-journal", u"kirvan-sim", u"kirvan-tool"};

} // namespace

QList<ManPageFile> programFiles(const QString& name, MessageLanguage language)
{
    QList<ManPageFile> files;
    for (const Entry& entry : entries) {
        if (name == QString::fromUtf16(entry.program))
            files.append({QString::fromUtf16(entry.path),
                          QString::fromUtf16(language == MessageLanguage::Russian ? entry.russian : entry.english)});
    }
    return files;
}

QStringList relatedPages(const QString& name)
{
    QStringList pages;
    for (const char16_t* program : programs) {
        if (name != QString::fromUtf16(program))
            pages << QString::fromUtf16(program) + QStringLiteral("(1)");
    }
    return pages;
}

} // namespace kirvan
