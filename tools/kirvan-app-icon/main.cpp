// kirvan-app-icon FOLDER: writes the program's picture into FOLDER as an icon theme holds it:
// scalable/apps/kirvanmonitorp.svg and SIZExSIZE/apps/kirvanmonitorp.png for every installed size.
#include "icons/ApplicationIcon.h"

#include <QDir>
#include <QCoreApplication>
#include <QPainter>
#include <QSvgGenerator>
#include <QTextStream>

namespace {

constexpr int SvgSize = 256;

bool writeSvg(const QString& file)
{
    QSvgGenerator svg;
    svg.setFileName(file);
    svg.setSize(QSize(SvgSize, SvgSize));
    svg.setViewBox(QRect(0, 0, SvgSize, SvgSize));
    svg.setTitle(QStringLiteral("KirvanMonitorP"));
    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    painter.setPen(Qt::NoPen);
    painter.scale(SvgSize / 16.0, SvgSize / 16.0);
    kirvan::drawApplicationIcon(painter);
    return painter.end();
}

} // namespace

int main(int argc, char** argv)
{
    // Pictures without text need no display and no application of the toolkit's window system.
    const QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    QTextStream err(stderr);
    if (arguments.size() != 2) {
        err << "usage: kirvan-app-icon FOLDER\n";
        return 2;
    }
    const QDir theme(arguments[1]);
    const QString name = QStringLiteral("apps/kirvanmonitorp");
    bool written = theme.mkpath(QStringLiteral("scalable/apps"))
                   && writeSvg(theme.filePath(QStringLiteral("scalable/") + name + QStringLiteral(".svg")));
    for (const int size : kirvan::ApplicationIconSizes) {
        const QString folder = QStringLiteral("%1x%1").arg(size);
        written = written && theme.mkpath(folder + QStringLiteral("/apps"))
                  && kirvan::applicationIconImage(size).save(
                      theme.filePath(folder + u'/' + name + QStringLiteral(".png")));
    }
    if (!written) {
        err << "kirvan-app-icon: cannot write the pictures into " << theme.path() << '\n';
        return 1;
    }
    return 0;
}
