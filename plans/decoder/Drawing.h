#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <optional>

namespace kirvan::drawing {

// The SVG document without its references to anything outside it: an href that neither points
// into the document nor carries its data inline is dropped, so rendering reads no file or device
// a hostile drawing names. Nothing when the document is not well-formed XML.
std::optional<QByteArray> withoutOutsideReferences(const QByteArray& svg);

// A drawing, EMF, WMF or SVG (told apart by content), rendered as large as fits into bound,
// keeping its proportions; nothing when it cannot be read.
std::optional<QImage> render(const QByteArray& bytes, QSize bound);

} // namespace kirvan::drawing
