// kirvan-state-icon-sheet FILE.png: draws every state picture into one contact sheet with its
// index: at 16 pixels on white, on light grey and on a selection blue, 16 pixels magnified four
// times, and 48 pixels.
#include "icons/StateIcons.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>

namespace {

constexpr int Columns = 7;
constexpr int CellWidth = 170;
constexpr int CellHeight = 84;

void drawCell(QPainter& painter, int index, QPoint origin)
{
    painter.setPen(Qt::black);
    painter.drawText(origin + QPoint(6, 16), QString::number(index));
    const QImage small = kirvan::stateIconImage(index, 16);
    const QColor backgrounds[] = {Qt::white, QColor(240, 240, 240), QColor(0, 120, 215)};
    int y = origin.y() + 24;
    for (const QColor& background : backgrounds) {
        painter.fillRect(origin.x() + 6, y - 2, 20, 20, background);
        painter.drawImage(origin.x() + 8, y, small);
        y += 20;
    }
    painter.drawImage(QRect(origin.x() + 34, origin.y() + 8, 64, 64), small);
    painter.drawImage(origin.x() + 110, origin.y() + 16, kirvan::stateIconImage(index, 48));
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 2) {
        QTextStream(stderr) << "usage: kirvan-state-icon-sheet FILE.png\n";
        return 2;
    }

    const int rows = (kirvan::StateIconCount + Columns - 1) / Columns;
    QImage sheet(Columns * CellWidth, rows * CellHeight, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(255, 255, 255));
    QPainter painter(&sheet);
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 10, QFont::Bold));
    for (int index = 0; index < kirvan::StateIconCount; ++index)
        drawCell(painter, index, {index % Columns * CellWidth, index / Columns * CellHeight});
    painter.end();

    if (!sheet.save(arguments.at(1))) {
        QTextStream(stderr) << "cannot write " << arguments.at(1) << '\n';
        return 1;
    }
    return 0;
}
