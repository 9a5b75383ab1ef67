#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <stop_token>

namespace kirvan {

// Plan pictures read from files: Windows bitmaps and icons, PNG, JPEG, SVG, and Windows
// metafiles (EMF, WMF). Reading never throws and never refuses a picture for its size. It may take
// long, so the program reads on a worker thread; a request to stop ends the read early.
class PictureLoader {
public:
    struct Result {
        QImage picture;
        // Why the file could not be read, in Russian for the operator; empty when it was read.
        QString error;
    };

    virtual ~PictureLoader() = default;
    // A picture larger than `bound` is read scaled down to fit it, keeping its proportions, so a
    // plan scanned at a huge size costs no more memory than the screen can show.
    virtual Result load(const QString& path, QSize bound, std::stop_token stop = {}) const = 0;
};

// The file dialog's filter of the picture types the loader reads.
inline QString pictureFileFilter()
{
    return QStringLiteral("Планы (*.bmp *.ico *.emf *.wmf *.png *.jpg *.jpeg *.svg);;Все файлы (*)");
}

} // namespace kirvan
