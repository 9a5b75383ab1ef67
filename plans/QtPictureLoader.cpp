#include "plans/QtPictureLoader.h"

#include "plans/Metafile.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>

namespace kirvan {

namespace {

// Larger files are not metafiles or drawings a plan would be; raster files are read as streams.
constexpr qint64 largestDrawing = 64 * 1024 * 1024;
// Raster plans are decoded whole before they are scaled; beyond this they are refused with a
// message instead of exhausting the memory of a workstation that must keep running.
constexpr int decodeLimitMegabytes = 1024;

PictureLoader::Result failure(const QString& why)
{
    return {QImage(), why};
}

const QString damaged = QStringLiteral("формат рисунка не распознан или файл повреждён");

QSize fitted(QSize size, QSize bound)
{
    return size.width() > bound.width() || size.height() > bound.height() ? size.scaled(bound, Qt::KeepAspectRatio)
                                                                           : size;
}

PictureLoader::Result renderSvg(const QByteArray& svg, QSize bound)
{
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return failure(damaged);
    QSize size = renderer.defaultSize();
    if (size.isEmpty())
        size = renderer.viewBoxF().size().toSize();
    if (size.isEmpty())
        size = bound;
    // A drawing has no pixels of its own: it is rendered large enough to stay sharp when
    // stretched over the plan area, and no larger than the bound.
    constexpr int sharpExtent = 2048;
    size = fitted(size.scaled(QSize(sharpExtent, sharpExtent), Qt::KeepAspectRatio), bound);
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    renderer.render(&painter);
    return {picture, {}};
}

PictureLoader::Result readRaster(QIODevice& device, QSize bound)
{
    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid() && fitted(size, bound) != size)
        reader.setScaledSize(fitted(size, bound));
    QImageReader::setAllocationLimit(decodeLimitMegabytes);
    QImage picture = reader.read();
    if (picture.isNull()) {
        return failure(reader.error() == QImageReader::UnsupportedFormatError ? damaged
                                                                              : damaged + QStringLiteral(" (") +
                                                                                    reader.errorString() + u')');
    }
    return {picture, {}};
}

} // namespace

PictureLoader::Result QtPictureLoader::load(const QString& path, QSize bound) const
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(QStringLiteral("файл не открывается (%1)").arg(file.errorString()));
    const QByteArray head = file.peek(64);
    if (metafile::isEnhancedMetafile(head) || metafile::isWindowsMetafile(head) ||
        head.trimmed().startsWith("<")) {
        if (file.size() > largestDrawing)
            return failure(damaged);
        const QByteArray bytes = file.readAll();
        std::optional<QByteArray> svg = bytes;
        if (metafile::isEnhancedMetafile(head))
            svg = metafile::enhancedToSvg(bytes);
        else if (metafile::isWindowsMetafile(head))
            svg = metafile::windowsToSvg(bytes);
        if (!svg)
            return failure(damaged);
        return renderSvg(*svg, bound);
    }
    return readRaster(file, bound);
}

} // namespace kirvan
