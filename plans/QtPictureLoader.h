#pragma once

#include "plans/DrawingProcess.h"

namespace kirvan {

// Reads plan pictures: Qt's image readers (BMP, ICO, PNG, JPEG) in this process, every other
// file (SVG, EMF, WMF, or whatever else it is) in the helper program `drawingProgram`, which
// renders drawings under `limits`. The kind of file is taken from its content, not its name;
// FIFOs, devices and folders are refused without being opened for reading.
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
