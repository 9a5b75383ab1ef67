#include "plans/decoder/Drawing.h"

#include "plans/decoder/Metafile.h"

#include <QPainter>
#include <QSvgRenderer>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace kirvan::drawing {

namespace {

bool refersOutside(const QXmlStreamAttribute& attribute)
{
    const QStringView name = attribute.qualifiedName();
    if (name != u"href" && !name.endsWith(u":href"))
        return false;
    const QStringView value = attribute.value().trimmed();
    return !value.startsWith(u'#') && !value.startsWith(u"data:", Qt::CaseInsensitive);
}

std::optional<QImage> renderSvg(const QByteArray& svg, QSize bound)
{
    const std::optional<QByteArray> closed = withoutOutsideReferences(svg);
    if (!closed)
        return std::nullopt;
    QSvgRenderer renderer(*closed);
    if (!renderer.isValid())
        return std::nullopt;
    QSize size = renderer.defaultSize();
    if (size.isEmpty())
        size = renderer.viewBoxF().size().toSize();
    // A drawing has no size of its own worth keeping: it fills the bound, the size it is shown at.
    size = size.isEmpty() ? bound : size.scaled(bound, Qt::KeepAspectRatio);
    QImage picture(size, QImage::Format_RGB32);
    if (picture.isNull())
        return std::nullopt;
    picture.fill(Qt::white);
    QPainter painter(&picture);
    renderer.render(&painter);
    return picture;
}

} // namespace

std::optional<QByteArray> withoutOutsideReferences(const QByteArray& svg)
{
    QXmlStreamReader reader(svg);
    // Names as written: the copy keeps every prefix and namespace declaration of the original.
    reader.setNamespaceProcessing(false);
    QByteArray copy;
    QXmlStreamWriter writer(&copy);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement) {
            if (reader.tokenType() != QXmlStreamReader::Invalid)
                writer.writeCurrentToken(reader);
            continue;
        }
        writer.writeStartElement(reader.qualifiedName().toString());
        for (const QXmlStreamAttribute& attribute : reader.attributes()) {
            if (!refersOutside(attribute))
                writer.writeAttribute(attribute.qualifiedName().toString(), attribute.value().toString());
        }
    }
    if (reader.hasError())
        return std::nullopt;
    return copy;
}

std::optional<QImage> render(const QByteArray& bytes, QSize bound)
{
    if (metafile::isEnhancedMetafile(bytes)) {
        const std::optional<QByteArray> svg = metafile::enhancedToSvg(bytes);
        return svg ? renderSvg(*svg, bound) : std::nullopt;
    }
    if (metafile::isWindowsMetafile(bytes)) {
        const std::optional<QByteArray> svg = metafile::windowsToSvg(bytes);
        return svg ? renderSvg(*svg, bound) : std::nullopt;
    }
    return renderSvg(bytes, bound);
}

} // namespace kirvan::drawing
