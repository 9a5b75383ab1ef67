#pragma once

#include <QByteArray>
#include <optional>

namespace kirvan::metafile {

// Windows metafiles are recognised by their content: an enhanced metafile by its header record
// and " EMF" signature, a Windows metafile by its placeable key or its header.
bool isEnhancedMetafile(const QByteArray& bytes);
bool isWindowsMetafile(const QByteArray& bytes);

// The metafile's drawing as an SVG document; nothing when the library cannot read it.
std::optional<QByteArray> enhancedToSvg(const QByteArray& bytes);
std::optional<QByteArray> windowsToSvg(const QByteArray& bytes);

} // namespace kirvan::metafile
