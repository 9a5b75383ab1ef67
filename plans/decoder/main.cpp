// kirvan-plan-decoder WIDTH HEIGHT: renders the plan drawing (EMF, WMF or SVG) on standard input
// to fit WIDTH × HEIGHT and writes it to standard output (see PictureStream.h). The workstation
// runs it under a time and a memory limit, so a hostile or damaged drawing ends this process and
// never the workstation. Exit status 1: the drawing cannot be read; 2: wrong arguments.

#include "plans/decoder/Drawing.h"
#include "plans/decoder/PictureStream.h"

#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

namespace {

// The workstation reads no larger plan drawing either.
constexpr qint64 largestDrawing = 64 * 1024 * 1024;

bool writeAll(const QByteArray& bytes)
{
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size());
}

} // namespace

int main(int argc, char** argv)
{
    // Drawing needs fonts but no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QGuiApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    bool wide = false;
    bool high = false;
    const QSize bound(arguments.value(1).toInt(&wide), arguments.value(2).toInt(&high));
    if (arguments.size() != 3 || !wide || !high || bound.isEmpty()) {
        std::fputs("usage: kirvan-plan-decoder WIDTH HEIGHT < drawing > picture\n", stderr);
        return 2;
    }
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly))
        return 1;
    const QByteArray drawing = input.read(largestDrawing + 1);
    if (drawing.size() > largestDrawing)
        return 1;
    const std::optional<QImage> picture = kirvan::drawing::render(drawing, bound);
    if (!picture)
        return 1;
    const QImage rows = picture->convertToFormat(QImage::Format_RGB32);
    if (!writeAll(kirvan::picturestream::header(rows.size())))
        return 1;
    for (int y = 0; y < rows.height(); ++y) {
        if (!writeAll(QByteArray::fromRawData(reinterpret_cast<const char*>(rows.constScanLine(y)),
                                              qsizetype(rows.width()) * 4)))
            return 1;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
