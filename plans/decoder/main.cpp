// kirvan-plan-decoder WIDTH HEIGHT: decodes the plan picture on standard input (BMP, ICO, PNG,
// JPEG, told apart by content; anything else is taken for a drawing: EMF, WMF or SVG) to fit
// WIDTH × HEIGHT and writes it to standard output (see PictureStream.h). The workstation runs it
// under a time and a memory limit and kills it when the picture is no longer wanted, so a hostile,
// damaged or merely huge plan ends this process and never holds or ends the workstation. Once the
// input is read, the process locks itself in (Sandbox.h): a decoder that a plan takes over can
// read, write or send nothing of the workstation's.
// Exit status 1: the picture cannot be read; 2: wrong arguments; 3: the picture has more pixels
// than the decoder takes (see PictureStream.h).

#include "plans/decoder/BandedScan.h"
#include "plans/decoder/Drawing.h"
#include "plans/decoder/PictureStream.h"
#include "plans/decoder/Sandbox.h"

#include <QBuffer>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QImageReader>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

// The workstation reads no larger plan drawing either.
constexpr qint64 largestDrawing = 64 * 1024 * 1024;
// A scan is read whole before the sandbox closes; none comes near it.
constexpr qint64 largestScan = 256 * 1024 * 1024;
// A scan of a kind not shrunk in bands (interlaced PNG, compressed BMP) is decoded whole first.
constexpr int decodeLimitMegabytes = int(kirvan::picturestream::largestPixels * 4 / (1024 * 1024));

bool rasterFormat(const QByteArray& format)
{
    return !format.isEmpty() && !format.startsWith("svg");
}

// Shrunk while it is decoded (JPEG by Qt's reader, PNG and BMP in bands), so a scan of
// 10000 × 7000 pixels never stands in memory whole.
std::optional<QImage> readRaster(QImageReader& reader, kirvan::raster::Input& input, QSize bound)
{
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > bound.width() || size.height() > bound.height())) {
        const QSize target = size.scaled(bound, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
        std::optional<QImage> banded;
        if (reader.format() == "png")
            banded = kirvan::raster::shrinkPng(input, target);
        else if (reader.format() == "bmp")
            banded = kirvan::raster::shrinkBmp(input, target);
        if (banded)
            return banded->isNull() ? std::nullopt : banded;
        reader.setScaledSize(target);
    }
    QImageReader::setAllocationLimit(decodeLimitMegabytes);
    QImage picture = reader.read();
    if (picture.isNull())
        return std::nullopt;
    if (picture.width() > bound.width() || picture.height() > bound.height())
        picture = picture.scaled(bound, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return picture;
}

// What the sandbox would refuse later: fontconfig's settings and caches are read, and the
// image format plugins loaded, now.
void loadBeforeSandbox(QIODevice& input)
{
    QImageReader::imageFormat(&input);
    QFontDatabase::families();
    QImage scratch(8, 8, QImage::Format_RGB32);
    QPainter(&scratch).drawText(0, 8, QStringLiteral("Ж"));
}

bool writeAll(const QByteArray& bytes)
{
    return std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout) == size_t(bytes.size());
}

bool tooLarge(QSize size)
{
    return size.isValid() && qint64(size.width()) * size.height() > kirvan::picturestream::largestPixels;
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
    kirvan::raster::Input whole(largestScan);
    QBuffer input;
    input.setData(whole.bytes());
    if (!whole.usable() || !input.open(QIODevice::ReadOnly))
        return 1;
    loadBeforeSandbox(input);
    if (!kirvan::sandbox::enter()) {
        std::fputs("kirvan-plan-decoder: the kernel refused the sandbox\n", stderr);
        return 1;
    }
    std::optional<QImage> picture;
    if (rasterFormat(QImageReader::imageFormat(&input))) {
        QImageReader reader(&input);
        reader.setDecideFormatFromContent(true);
        reader.setAutoTransform(true);
        // Told apart from a damaged file, with the size, so the installer knows to scan coarser.
        if (tooLarge(reader.size())) {
            writeAll(kirvan::picturestream::header(reader.size()));
            return std::fflush(stdout) == 0 ? kirvan::picturestream::tooLargeStatus : 1;
        }
        picture = readRaster(reader, whole, bound);
    } else {
        if (input.size() > largestDrawing)
            return 1;
        picture = kirvan::drawing::render(input.data(), bound);
    }
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
