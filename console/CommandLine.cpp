#include "console/CommandLine.h"

namespace kirvan {

QString commandLineUsage()
{
    return QStringLiteral(
        "Usage: KirvanMonitorP [--dir DIR]\n"
        "Operator workstation of the fire and security alarm complex.\n"
        "  --dir DIR   workstation folder with the settings, composition file, log and mailbox\n"
        "              (default: the folder of the program file)\n"
        "  --help      show this text\n"
        "  --version   show the version\n");
}

std::optional<CommandLine> parseCommandLine(const QStringList& arguments, QString& error)
{
    CommandLine line;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& option = arguments[i];
        if (option == QLatin1String("--help")) {
            line.help = true;
        } else if (option == QLatin1String("--version")) {
            line.version = true;
        } else if (option == QLatin1String("--dir")) {
            if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
                error = QStringLiteral("--dir needs a folder");
                return std::nullopt;
            }
            line.folder = arguments[++i];
        } else {
            error = QStringLiteral("unknown option: %1").arg(option);
            return std::nullopt;
        }
    }
    return line;
}

} // namespace kirvan
