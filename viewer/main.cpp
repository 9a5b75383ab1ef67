// kirvan-journal: the journal viewer of a workstation folder, a program of its own.
#include "access/UserFile.h"
#include "app/StopSignals.h"
#include "app/Translations.h"
#include "dialogs/QtDialogs.h"
#include "files/Cp1251.h"
#include "files/IniDocument.h"
#include "files/RegularFile.h"
#include "files/SettingsKeys.h"
#include "files/WorkstationFolder.h"
#include "icons/ApplicationIcon.h"
#include "platform/Clock.h"
#include "platform/DiagnosticsOutput.h"
#include "platform/DisplayScale.h"
#include "platform/QtMessageLoop.h"
#include "platform/SystemLocale.h"
#include "platform/WorkerThread.h"
#include "viewer/JournalViewer.h"
#include "viewer/ViewerCommandLine.h"
#include "viewer/WorkstationChannel.h"

#include <QApplication>
#include <QDir>
#include <QScreen>
#include <QStandardPaths>
#include <QTextStream>
#include <unistd.h>

namespace {

QStringList argumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// The operators to choose from in the filter, as the folder's user file names them; read only.
QStringList operatorNames(const QString& folder)
{
    QStringList names;
    try {
        if (const auto users = kirvan::UserList::load(QDir(folder).filePath(kirvan::UserList::fileName())))
            for (const kirvan::User& user : users->users())
                names << user.name;
    } catch (const kirvan::UserFileRefused&) {
        // Names can still be typed; the file is the workstation's to refuse.
    }
    return names;
}

// The folder's "Масштаб", read only: the viewer's letters as large as the workstation's.
QString scaleSetting(const QString& folder)
{
    const auto file = kirvan::RegularFile::read(kirvan::WorkstationFolder(folder).settingsFile());
    if (file.status != kirvan::RegularFile::Status::Read)
        return {};
    const kirvan::IniDocument settings(kirvan::cp1251::decode(file.bytes));
    return settings.value(kirvan::settings::sectionSettings, kirvan::settings::keyScale).value_or(QStringView()).toString();
}

} // namespace

int main(int argc, char** argv)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QString error;
    const auto line = kirvan::parseViewerCommandLine(argumentsOf(argc, argv), error);
    if (!line) {
        err << "kirvan-journal: " << error << '\n' << kirvan::viewerCommandLineUsage();
        return 2;
    }
    if (line->help) {
        out << kirvan::viewerCommandLineUsage();
        return 0;
    }
    if (line->version) {
        out << "kirvan-journal " << KIRVAN_VERSION << '\n';
        return 0;
    }

    kirvan::DiagnosticsOutput diagnostics(STDERR_FILENO);
    diagnostics.installAsMessageHandler();
    QApplication application(argc, argv);
    kirvan::installRussianTranslations(application);
    QApplication::setWindowIcon(kirvan::applicationIcon());
    // Nothing is created in the folder: a folder that is not there shows an empty journal.
    const QString folder = !line->folder.isEmpty()
                               ? line->folder
                               : QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                                     + QStringLiteral("/kirvanmonitorp");
    QFont text = QApplication::font();
    text.setPixelSize(kirvan::displayscale::scaled(
        kirvan::displayscale::designTextPixels,
        kirvan::displayscale::forScreen(scaleSetting(folder), QGuiApplication::primaryScreen())));
    QApplication::setFont(text);
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
                          + QStringLiteral("/kirvanmonitorp/journal-index");

    kirvan::QtMessageLoop loop;
    const kirvan::SystemLocale locale;
    const kirvan::SystemClock clock;
    kirvan::QtDialogs dialogs;
    kirvan::ThreadWorkers workers(loop);
    kirvan::JournalViewer viewer(kirvan::WorkstationFolder(folder).logFile(), {loop, workers, dialogs, clock, locale},
                                 cache);
    viewer.setOperatorNames(operatorNames(folder));
    dialogs.setParent(&viewer);
    const auto stop = [&] {
        loop.requestStop();
        viewer.close();
        QCoreApplication::exit(0);
    };
    const kirvan::StopSignals stopSignals(stop);
    std::unique_ptr<kirvan::WorkstationChannel> channel;
    if (line->fromWorkstation)
        channel = std::make_unique<kirvan::WorkstationChannel>(
            STDIN_FILENO,
            [&viewer] {
                viewer.showNormal();
                viewer.raise();
                viewer.activateWindow();
            },
            stop);
    viewer.show();
    return QApplication::exec();
}
