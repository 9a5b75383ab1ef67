#pragma once

#include "plans/decoder/Input.h"

#include <QImage>
#include <optional>

namespace kirvan::raster {

// A scan shrunk to `target` while its rows are decoded one by one, so that neither the whole
// picture nor the whole file stands in memory, whatever its pixel kind (grey, palette, RGB).
// Nothing when the scan is of a kind read another way.

// PNG, unless interlaced (its rows come in seven passes over the whole picture); a null picture
// when it is damaged.
std::optional<QImage> shrinkPng(Input& input, QSize target);
// BMP of uncompressed rows of 1, 4, 8, 24 or 32 bits a pixel, whole (Qt's reader tells the damage
// of a cut one).
std::optional<QImage> shrinkBmp(Input& input, QSize target);

} // namespace kirvan::raster
