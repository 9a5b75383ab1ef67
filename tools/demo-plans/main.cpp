// demo-plans: draws the floor plans of the demo complex (resources/demo/Объекты/Планы) as BMP
// pictures, 640 by 400 pixels. The detector markers of the demo's detector files are placed on
// these drawings (X = 640 / x, Y = 400 / y). Usage: demo-plans FOLDER

#include <QDir>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <cstdio>
#include <vector>

namespace {

constexpr int width = 640;
constexpr int height = 400;

struct Room {
    QRect area;
    QString name;
};

// Rooms as outlined walls with their names, doors as gaps in the lower wall.
QImage plan(const QString& title, const std::vector<Room>& rooms)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(250, 250, 245));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor(60, 60, 60), 4));
    painter.drawRect(10, 30, width - 20, height - 40);
    for (const Room& room : rooms) {
        painter.setPen(QPen(QColor(60, 60, 60), 3));
        painter.setBrush(QColor(235, 240, 250));
        painter.drawRect(room.area);
        const int door = room.area.center().x();
        painter.setPen(QPen(QColor(235, 240, 250), 4));
        painter.drawLine(door - 14, room.area.bottom(), door + 14, room.area.bottom());
        painter.setPen(QColor(40, 40, 90));
        painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 12));
        painter.drawText(room.area.adjusted(6, 6, -6, -6), Qt::AlignTop | Qt::AlignLeft, room.name);
    }
    painter.setPen(Qt::black);
    painter.setFont(QFont(QStringLiteral("DejaVu Sans"), 14, QFont::Bold));
    painter.drawText(QRect(10, 4, width - 20, 24), Qt::AlignCenter, title);
    return image;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: demo-plans FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(folder.path());
    const struct {
        const char16_t* file;
        const char16_t* title;
        std::vector<Room> rooms;
    } plans[] = {
        {u"Склад.bmp",
         u"СКЛАД: общий план",
         {{{20, 40, 300, 340}, QStringLiteral("Цех 1")},
          {{330, 40, 290, 200}, QStringLiteral("Цех 2")},
          {{330, 250, 290, 130}, QStringLiteral("Котельная")}}},
        {u"Цех1.bmp",
         u"СКЛАД: Цех 1",
         {{{20, 40, 600, 200}, QStringLiteral("Склад готовой продукции")},
          {{20, 250, 440, 130}, QStringLiteral("Коридор")},
          {{470, 250, 150, 130}, QStringLiteral("Лестница")}}},
        {u"Цех2.bmp", u"СКЛАД: Цех 2", {{{20, 40, 600, 340}, QStringLiteral("Производственный зал")}}},
        {u"Котельная.bmp",
         u"СКЛАД: Котельная",
         {{{20, 40, 400, 340}, QStringLiteral("Котлы")}, {{430, 40, 190, 340}, QStringLiteral("Насосная")}}},
        {u"Офис.bmp",
         u"ОФИС: общий план",
         {{{20, 40, 380, 340}, QStringLiteral("Приёмная")}, {{410, 40, 210, 340}, QStringLiteral("Серверная")}}},
        {u"Приёмная.bmp",
         u"ОФИС: Приёмная",
         {{{20, 40, 600, 220}, QStringLiteral("Зал ожидания")}, {{20, 270, 600, 110}, QStringLiteral("Вход")}}},
        {u"Серверная.bmp", u"ОФИС: Серверная", {{{20, 40, 600, 340}, QStringLiteral("Стойки")}}},
    };
    for (const auto& p : plans) {
        const QString path = folder.filePath(QString::fromUtf16(p.file));
        // A palette picture is a third of the size of a true-colour one, with the same look.
        const QImage picture = plan(QString::fromUtf16(p.title), p.rooms)
                                   .convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
        if (!picture.save(path, "BMP")) {
            std::fprintf(stderr, "demo-plans: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
