#pragma once

#include "plans/DrawingProcess.h"

namespace kirvan {

// Reads plan pictures in the helper program `drawingProgram`, under `limits`: raster scans (BMP,
// ICO, PNG, JPEG) as well as drawings (SVG, EMF, WMF), so that a decode no longer wanted ends at
// once, with its process, and no plan file can crash the workstation. The helper tells the kinds
// apart by content, not by name; FIFOs, devices and folders are refused without being opened for
// reading.
class QtPictureLoader final : public PictureLoader {
public:
    explicit QtPictureLoader(QString drawingProgram, DrawingLimits limits = {});

    Result load(const QString& path, QSize bound, std::stop_token stop = {}) const override;

    // kirvan-plan-decoder beside the program (as in the build tree), else where the package puts it.
    static QString installedDrawingProgram(const QString& programFolder, const QString& helperFolderFromProgram);

private:
    QString drawingProgram_;
    DrawingLimits limits_;
};

} // namespace kirvan
