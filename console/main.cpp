#include "CommPort/CommPort1.h"
#include "CommPort/PosixSerialDevice.h"
#include "config/FileWriteError.h"
#include "console/CommandLine.h"
#include "console/QtDialogs.h"
#include "console/TForm1.h"
#include "link/CommPortLink.h"
#include "plans/QtPictureLoader.h"
#include "platform/Clock.h"
#include "platform/QtDesktopShell.h"
#include "platform/QtMessageLoop.h"
#include "platform/QtSound.h"
#include "platform/SystemLocale.h"

#include <QApplication>
#include <QMessageBox>
#include <QPainter>
#include <QTextStream>
#include <QTimer>

#include <utility>

namespace {

// Without its settings the workstation cannot work; the operator must know why.
int settingsRefused(const kirvan::WorkstationFolder& folder, const kirvan::FileWriteError& error)
{
    const QString reason = error.reason().isEmpty() ? QString::fromStdString(error.what()) : error.reason();
    QMessageBox::critical(nullptr, QStringLiteral("Ошибка"),
                          QStringLiteral("Не удалось открыть или создать файл настроек\n%1\n\nПричина: %2\n\n"
                                         "Без файла настроек работа программы невозможна.")
                              .arg(folder.settingsFile(), reason));
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

} // namespace

int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    QString error;
    const auto line = kirvan::parseCommandLine(application.arguments().mid(1), error);
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

    const kirvan::WorkstationFolder folder(line->folder.isEmpty() ? QCoreApplication::applicationDirPath()
                                                                  : line->folder);
    kirvan::QtMessageLoop loop;
    loop.setErrorHandler([](const std::exception& failure) {
        QMessageBox::critical(QApplication::activeWindow(), QStringLiteral("Ошибка"),
                              QString::fromStdString(failure.what()));
    });
    const kirvan::SystemLocale locale;
    const kirvan::SystemClock clock;
    kirvan::QtDesktopShell shell;
    kirvan::QtDialogs dialogs;
    kirvan::QtSound sound;
    kirvan::PosixSerialPorts serialPorts(folder.path());
    kirvan::SteadyPortClock portClock;
    kirvan::TCommPort CommPort1(loop, serialPorts, portClock);
    kirvan::CommPortLink port(CommPort1, serialPorts);
    const kirvan::QtPictureLoader pictures;

    std::unique_ptr<kirvan::TForm1> window;
    try {
        window = std::make_unique<kirvan::TForm1>(
            kirvan::PlatformServices{loop, dialogs, shell, clock, locale, port, sound, pictures}, folder);
    } catch (const kirvan::FileWriteError& refused) {
        return settingsRefused(folder, refused);
    }
    dialogs.setParent(window.get());
    kirvan::configureCommPort1(CommPort1, [&window](kirvan::TCustomCommPort&, std::uint16_t count) {
        window->workstation().link().receiver().CommPort1TriggerAvail(count);
    });
    window->show();
    if (line->comPort)
        window->workstation().link().ports().IniCOMExecute(*line->comPort);
    bool screenshotTaken = line->screenshot.isEmpty();
    const auto takeScreenshot = [&] {
        if (std::exchange(screenshotTaken, true))
            return;
        if (!screenshotOf(*window).save(line->screenshot))
            err << "KirvanMonitorP: cannot save the screenshot " << line->screenshot << '\n';
    };
    // Taken while the window is still open, since its prompts close with it.
    if (line->quitAfter)
        QTimer::singleShot(*line->quitAfter * 1000, window.get(), [&] {
            takeScreenshot();
            window->close();
        });
    QObject::connect(&application, &QApplication::aboutToQuit, takeScreenshot);
    const int status = QApplication::exec();
    // The shut-down line comes as the window goes; the port closes after it.
    window.reset();
    return status;
}
