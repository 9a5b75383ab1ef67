// kirvan-man-page PROGRAM NAME VERSION en|ru OUTPUT: runs PROGRAM --help in the language's locale
// and writes the manual page made from its text to OUTPUT.
#include "tools/kirvan-man-page/ManPage.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTextStream>

int main(int argc, char** argv)
{
    const QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    QTextStream err(stderr);
    if (arguments.size() != 6 || (arguments[4] != u"en" && arguments[4] != u"ru")) {
        err << "usage: kirvan-man-page PROGRAM NAME VERSION en|ru OUTPUT\n";
        return 2;
    }
    const bool russian = arguments[4] == u"ru";
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("LANGUAGE"));
    environment.insert(QStringLiteral("LC_ALL"), russian ? QStringLiteral("ru_RU.UTF-8") : QStringLiteral("C.UTF-8"));
    // The window's program prints its help before it needs a display, but may need a platform.
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program.start(arguments[1], {QStringLiteral("--help")});
    if (!program.waitForFinished(60000) || program.exitStatus() != QProcess::NormalExit || program.exitCode() != 0) {
        err << "kirvan-man-page: " << arguments[1] << " --help failed\n";
        return 1;
    }
    const auto language = russian ? kirvan::MessageLanguage::Russian : kirvan::MessageLanguage::English;
    const QString page = kirvan::manPage({arguments[2], arguments[3], QString::fromUtf8(program.readAllStandardOutput()),
                                          language, kirvan::programFiles(arguments[2], language),
                                          kirvan::relatedPages(arguments[2]),
                                          kirvan::programDescription(arguments[2], language)});
    QFile output(arguments[5]);
    if (!output.open(QIODevice::WriteOnly | QIODevice::Truncate) || output.write(page.toUtf8()) < 0 || !output.flush()) {
        err << "kirvan-man-page: cannot write " << arguments[5] << '\n';
        return 1;
    }
    return 0;
}
