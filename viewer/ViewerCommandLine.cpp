#include "viewer/ViewerCommandLine.h"

namespace kirvan {

QString viewerCommandLineUsage(MessageLanguage language)
{
    if (language == MessageLanguage::Russian)
        return QStringLiteral(
            "Использование: kirvan-journal [--dir ПАПКА]\n"
            "Просмотр журнала рабочего места KirvanMonitorP: журнал и его прежние файлы после ротации,\n"
            "с отбором, экспортом в CSV и PDF и печатью. Файлы папки только читаются: программа ничего\n"
            "в папке не пишет и не занимает её, поэтому годится и для копии папки (например, у проверяющего).\n"
            "Указатель строк хранится вне папки, в $XDG_CACHE_HOME/kirvanmonitorp/journal-index.\n"
            "  --dir ПАПКА           папка рабочего места с журналом KirvanMonitorP.txt. Без этого ключа —\n"
            "                        $XDG_DATA_HOME/kirvanmonitorp, обычно ~/.local/share/kirvanmonitorp\n"
            "  --from-workstation    запуск из рабочего места (Ctrl+F3): стандартный ввод — канал от него;\n"
            "                        строка выводит окно вперёд, конец ввода закрывает программу\n"
            "  --help                показать эту справку\n"
            "  --version             показать версию\n");
    return QStringLiteral(
        "Usage: kirvan-journal [--dir DIR]\n"
        "Journal viewer of a KirvanMonitorP workstation: the log and its rotated predecessors, with\n"
        "filters, CSV and PDF export and printing. The folder's files are only read: the program\n"
        "writes nothing there and takes no lock, so it serves a copied folder too (an auditor's).\n"
        "Its index of the lines is kept outside the folder, in $XDG_CACHE_HOME/kirvanmonitorp/journal-index.\n"
        "  --dir DIR             workstation folder with the log KirvanMonitorP.txt. Without it:\n"
        "                        $XDG_DATA_HOME/kirvanmonitorp, usually ~/.local/share/kirvanmonitorp\n"
        "  --from-workstation    started by the workstation (Ctrl+F3): standard input is its channel;\n"
        "                        a line brings the window forward, the input's end closes the program\n"
        "  --help                show this text\n"
        "  --version             show the version\n");
}

std::optional<ViewerCommandLine> parseViewerCommandLine(const QStringList& arguments, QString& error)
{
    ViewerCommandLine line;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (takeCommonOption(arguments, i, line, error))
            continue;
        if (!error.isEmpty())
            return std::nullopt;
        if (arguments[i] != QLatin1String("--from-workstation")) {
            error = QStringLiteral("unknown option: %1").arg(arguments[i]);
            return std::nullopt;
        }
        line.fromWorkstation = true;
    }
    return line;
}

} // namespace kirvan
