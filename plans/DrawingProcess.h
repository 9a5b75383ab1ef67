#pragma once

#include "platform/PictureLoader.h"

#include <chrono>

namespace kirvan {

// How much a drawing may cost the helper program before it is given up.
struct DrawingLimits {
    std::chrono::milliseconds time{10000};
    // Address space of the helper; a drawing that needs more ends it, not the workstation.
    qint64 memoryBytes = qint64(1536) * 1024 * 1024;
};

// Renders the drawing open at descriptor `drawing` (EMF, WMF or SVG) in the helper program
// kirvan-plan-decoder: the helper reads it as its standard input, so it opens no file itself,
// and runs under the limits; a stop request kills it. Never throws.
PictureLoader::Result renderInHelper(const QString& program, int drawing, QSize bound, const DrawingLimits& limits,
                                     std::stop_token stop);

} // namespace kirvan
