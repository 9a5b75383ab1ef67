#include "files/FileReadError.h"
#include "files/FileWriteError.h"
#include "files/WorkstationLock.h"
#include "access/UserFile.h"
#include "icons/ApplicationIcon.h"
#include "app/CommandLine.h"
#include "app/PanelLine.h"
#include "dialogs/QtDialogs.h"
#include "window/WatchedApplication.h"
#include "app/StopSignals.h"
#include "window/MainWindow.h"
#include "app/Translations.h"
#include "plans/QtPictureLoader.h"
#include "platform/ChildProgram.h"
#include "platform/Clock.h"
#include "platform/QtDesktopShell.h"
#include "platform/DiagnosticsOutput.h"
#include "platform/QtMessageLoop.h"
#include "platform/WorkerThread.h"
#include "platform/QtSound.h"
#include "platform/SystemLocale.h"

#include <QApplication>
#include <unistd.h>
#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPainter>
#include <QStandardPaths>
#include <QTextStream>
#include <QTimer>

#include <utility>

namespace {

// A failure that ends the start-up: on the terminal, and in a message box where a screen shows it.
int startRefused(const QString& text)
{
    QTextStream(stderr) << "KirvanMonitorP: " << text << '\n';
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal"))
        QMessageBox::critical(nullptr, QStringLiteral("Ошибка"), text);
    return 1;
}

// The window with the program's windows that stand over it, such as the prompt of a control
// module. Without a window manager nobody draws their captions; a plain strip stands for each.
QPixmap screenshotOf(QWidget& window)
{
    QPixmap picture = window.grab();
    QPainter painter(&picture);
    for (QWidget* other : QApplication::topLevelWidgets()) {
        if (other == &window || !other->isVisible())
            continue;
        const QPoint at = other->pos() - window.pos();
        const int caption = other->fontMetrics().height() + 6;
        const QRect strip(at.x(), at.y() - caption, other->width(), caption);
        painter.fillRect(strip, other->palette().color(QPalette::Highlight));
        painter.setPen(other->palette().color(QPalette::HighlightedText));
        painter.drawText(strip.adjusted(6, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, other->windowTitle());
        painter.drawPixmap(at, other->grab());
        painter.setPen(Qt::darkGray);
        painter.drawRect(strip.united(QRect(at, other->size())).adjusted(0, 0, -1, -1));
    }
    return picture;
}

// Without its settings the workstation cannot work; the operator must know why.
int settingsRefused(const kirvan::WorkstationFolder& folder, const QString& reason)
{
    return startRefused(QStringLiteral("Не удалось открыть или создать файл настроек\n%1\n\nПричина: %2\n\n"
                                       "Без файла настроек работа программы невозможна.")
                            .arg(folder.settingsFile(), reason));
}

QStringList argumentsOf(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// The folder given with --dir, or the program's own; an installed program works in the user's
// data folder, created empty on its first start.
kirvan::WorkstationFolder workstationFolder(const QString& given)
{
    const QString program = QCoreApplication::applicationDirPath();
    const QString shared = QDir(program).filePath(QStringLiteral(KIRVAN_SHARED_DATA_FROM_PROGRAM));
    if (!given.isEmpty())
        return kirvan::WorkstationFolder(given, shared);
    const QString userData = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                             + QStringLiteral("/kirvanmonitorp");
    const QStringList systemFolders{QStringLiteral(KIRVAN_SYSTEM_PROGRAM_FOLDER), QStringLiteral("/usr/bin"),
                                    QStringLiteral("/usr/local/bin")};
    const QString chosen = kirvan::defaultWorkstationFolder(program, systemFolders, userData, kirvan::folderWritable);
    kirvan::createPrivateFolder(chosen);
    return kirvan::WorkstationFolder(chosen, shared);
}

} // namespace

int main(int argc, char** argv)
{
    // The options come before the windowing system, so that --help and --version work over SSH.
    QTextStream out(stdout);
    QTextStream err(stderr);
    QString error;
    const auto line = kirvan::parseCommandLine(argumentsOf(argc, argv), error);
    if (!line) {
        err << "KirvanMonitorP: " << error << '\n' << kirvan::commandLineUsage();
        return 2;
    }
    if (line->help) {
        out << kirvan::commandLineUsage();
        return 0;
    }
    if (line->version) {
        out << "KirvanMonitorP " << KIRVAN_VERSION << '\n';
        return 0;
    }

    // Standard error may be a pipe nobody reads: the program's messages never wait for it.
    kirvan::DiagnosticsOutput diagnostics(STDERR_FILENO);
    diagnostics.installAsMessageHandler();
    kirvan::WatchedApplication application(argc, argv);
    application.watch([&diagnostics](const QString& stall) { diagnostics.write(stall); });
    kirvan::installRussianTranslations(application);
    QApplication::setWindowIcon(kirvan::applicationIcon());
    const kirvan::WorkstationFolder folder = workstationFolder(line->folder);
    if (const QString problem = kirvan::folderTrustProblem(folder.path()); !problem.isEmpty())
        return startRefused(
            QStringLiteral("Папка рабочего места не принята: %1\n\nПрограмма не запускается.").arg(problem));
    // One workstation per folder: a second one would write its own start and stop lines and
    // link losses into the live journal.
    kirvan::WorkstationLock::Refusal refusal{};
    QString lockFailure;
    const auto lock = kirvan::WorkstationLock::acquire(folder.path(), &refusal, &lockFailure);
    if (!lock)
        return startRefused(refusal == kirvan::WorkstationLock::Refusal::HeldByAnother
                                ? lockFailure
                                : QStringLiteral("Папка %1 недоступна: %2").arg(folder.path(), lockFailure));

    kirvan::QtMessageLoop loop;
    const kirvan::SystemLocale locale;
    const kirvan::SystemClock clock;
    kirvan::QtDesktopShell shell;
    kirvan::QtDialogs dialogs;
    kirvan::QtSound sound;
    kirvan::PanelLine panelLine(loop, folder.path());
    const kirvan::QtPictureLoader pictures(kirvan::QtPictureLoader::installedDrawingProgram(
        QCoreApplication::applicationDirPath(), QStringLiteral(KIRVAN_HELPERS_FROM_PROGRAM)));
    kirvan::ThreadWorkers workers(loop);
    // Installed beside the workstation, and built there too.
    kirvan::ChildProgram journalViewer(
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("kirvan-journal")),
        {QStringLiteral("--dir"), folder.path(), QStringLiteral("--from-workstation")});

    std::unique_ptr<kirvan::MainWindow> window;
    bool screenshotTaken = line->screenshot.isEmpty();
    // Taken while the window is still open, since its prompts close with it.
    const auto takeScreenshot = [&] {
        if (!window || std::exchange(screenshotTaken, true))
            return;
        if (!screenshotOf(*window).save(line->screenshot))
            err << "KirvanMonitorP: cannot save the screenshot " << line->screenshot << '\n';
    };
    // A stop signal and --quit-after end the program as "Выход" does, also from inside a wait or
    // a message box: the waits under way end, every box closes as if cancelled (and one opened
    // later returns at once), and the window closes, so the shut-down line is written.
    bool stopping = false;
    const auto stop = [&] {
        if (std::exchange(stopping, true))
            return;
        takeScreenshot();
        loop.requestStop();
        if (window)
            window->close();
        QCoreApplication::exit(0);
    };
    const kirvan::StopSignals stopSignals(stop);
    // Counted from the start: a box during start-up must not hold it off.
    if (line->quitAfter)
        QTimer::singleShot(*line->quitAfter * 1000, &application, stop);
    try {
        // The port of --com is opened by the start-up as the menu's choice would be, with its report
        // of a failure, but not gated: the command line is the workstation's own user.
        window = std::make_unique<kirvan::MainWindow>(
            kirvan::PlatformServices{loop, dialogs, shell, clock, locale, panelLine.port(), sound, pictures, workers,
                                     journalViewer},
            folder, line->comPort);
    } catch (const kirvan::FileWriteError& refused) {
        return settingsRefused(folder,
                               refused.reason().isEmpty() ? QString::fromStdString(refused.what()) : refused.reason());
    } catch (const kirvan::FileReadError& unreadable) {
        return settingsRefused(folder, unreadable.reason());
    } catch (const kirvan::UserFileRefused& untrusted) {
        return startRefused(QStringLiteral("%1\n\nБез файла, которому можно доверять, уровни доступа не соблюсти; "
                                           "программа не запускается.")
                                .arg(QString::fromStdString(untrusted.what())));
    }
    if (stopping) {
        window->close();
        window.reset();
        return 0;
    }
    dialogs.setParent(window.get());
    if (line->fullScreen)
        window->showFullScreen();
    else
        window->show();
    QObject::connect(&application, &QApplication::aboutToQuit, takeScreenshot);
    const int status = QApplication::exec();
    // The shut-down line comes as the window goes; the port closes after it.
    window.reset();
    return status;
}
