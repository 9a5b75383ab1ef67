#include "app/CommandLine.h"

namespace kirvan {

QString commandLineUsage(MessageLanguage language)
{
    if (language == MessageLanguage::Russian)
        return QStringLiteral(
            "Использование: KirvanMonitorP [--dir ПАПКА] [--com N] [--fullscreen] [--quit-after СЕКУНДЫ]\n"
            "                              [--screenshot ФАЙЛ]\n"
            "Рабочее место оператора комплекса пожарной и охранной сигнализации КИРВАН.\n"
            "  --dir ПАПКА           папка рабочего места: настройки, файл состава, журнал и почтовый\n"
            "                        ящик команд. Без этого ключа — папка файла программы; если в неё\n"
            "                        нельзя писать или программа установлена в систему (/usr/bin), —\n"
            "                        $XDG_DATA_HOME/kirvanmonitorp, обычно ~/.local/share/kirvanmonitorp\n"
            "                        (при первом запуске создаётся пустой, с начальными настройками)\n"
            "  --com N               после запуска выбрать последовательный порт COM N (1–10), как в меню\n"
            "  --fullscreen          главное окно на весь экран (режим киоска)\n"
            "  --quit-after СЕКУНДЫ  закрыть главное окно обычным путём через это время\n"
            "  --screenshot ФАЙЛ     сохранить снимок окна (PNG) перед его закрытием\n"
            "  --help                показать эту справку\n"
            "  --version             показать версию\n");
    return QStringLiteral("Usage: KirvanMonitorP [--dir DIR] [--com N] [--fullscreen] [--quit-after SECONDS]\n"
                          "                      [--screenshot FILE]\n"
                          "Operator workstation of the KIRVAN fire and security alarm complex.\n"
                          "  --dir DIR             workstation folder with the settings, composition file, log and\n"
                          "                        mailbox. Without it: the folder of the program file; when that\n"
                          "                        folder is not writable or the program is installed (/usr/bin):\n"
                          "                        $XDG_DATA_HOME/kirvanmonitorp, usually ~/.local/share/kirvanmonitorp\n"
                          "                        (created empty on the first start, with first-start settings)\n"
                          "  --com N               once started, choose serial port COM N (1 to 10) as the menu does\n"
                          "  --fullscreen          show the main window over the whole screen (kiosk operation)\n"
                          "  --quit-after SECONDS  close the main window the normal way after that time\n"
                          "  --screenshot FILE     save a picture of the window (PNG) just before it closes\n"
                          "  --help                show this text\n"
                          "  --version             show the version\n");
}

namespace {

// The value of an option; an error when it is missing or not a whole number in range.
std::optional<int> number(const QStringList& arguments, qsizetype& i, int lowest, int highest, QString& error)
{
    const QString& option = arguments[i];
    if (i + 1 >= arguments.size()) {
        error = QStringLiteral("%1 needs a value").arg(option);
        return std::nullopt;
    }
    bool ok = false;
    const int value = arguments[++i].toInt(&ok);
    if (!ok || value < lowest || value > highest) {
        error = QStringLiteral("%1: %2 is not a number from %3 to %4").arg(option, arguments[i]).arg(lowest).arg(highest);
        return std::nullopt;
    }
    return value;
}

} // namespace

bool takeCommonOption(const QStringList& arguments, qsizetype& i, CommonOptions& options, QString& error)
{
    const QString& option = arguments[i];
    if (option == QLatin1String("--help")) {
        options.help = true;
    } else if (option == QLatin1String("--version")) {
        options.version = true;
    } else if (option == QLatin1String("--dir")) {
        if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
            error = QStringLiteral("--dir needs a folder");
            return false;
        }
        options.folder = arguments[++i];
    } else {
        return false;
    }
    return true;
}

std::optional<CommandLine> parseCommandLine(const QStringList& arguments, QString& error)
{
    CommandLine line;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& option = arguments[i];
        if (takeCommonOption(arguments, i, line, error)) {
            continue;
        } else if (!error.isEmpty()) {
            return std::nullopt;
        } else if (option == QLatin1String("--fullscreen")) {
            line.fullScreen = true;
        } else if (option == QLatin1String("--screenshot")) {
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
                error = QStringLiteral("--screenshot needs a file");
                return std::nullopt;
            }
            line.screenshot = arguments[++i];
        } else if (option == QLatin1String("--com")) {
            line.comPort = number(arguments, i, 1, 10, error);
            if (!line.comPort)
                return std::nullopt;
        } else if (option == QLatin1String("--quit-after")) {
            line.quitAfter = number(arguments, i, 0, 7 * 24 * 3600, error);
            if (!line.quitAfter)
                return std::nullopt;
        } else {
            error = QStringLiteral("unknown option: %1").arg(option);
            return std::nullopt;
        }
    }
    return line;
}

} // namespace kirvan
