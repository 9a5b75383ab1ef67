#pragma once

#include "platform/PictureLoader.h"

namespace kirvan {

// Reads plan pictures with Qt's image readers (BMP, ICO, PNG, JPEG), renders SVG with Qt SVG, and
// turns Windows metafiles into SVG in memory first: EMF through libemf2svg, WMF through libwmf.
// The kind of file is taken from its content, not its name.
class QtPictureLoader final : public PictureLoader {
public:
    Result load(const QString& path, QSize bound) const override;
};

} // namespace kirvan
