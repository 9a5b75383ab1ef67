#pragma once

#include "platform/PictureLoader.h"

#include <QFileInfo>
#include <QMap>
#include <vector>

namespace kirvan::testing {

// Reads no file: every existing file is a blank picture of a fixed size, except those given an
// error in advance. Records what it was asked to read.
class ScriptedPictureLoader final : public PictureLoader {
public:
    Result load(const QString& path, QSize bound) const override
    {
        loaded.push_back(path);
        bounds.push_back(bound);
        if (errors.contains(QFileInfo(path).fileName()))
            return {QImage(), errors.value(QFileInfo(path).fileName())};
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(Qt::white);
        return {picture, {}};
    }

    QSize size{320, 200};
    // File name → the reader's complaint.
    QMap<QString, QString> errors;
    mutable std::vector<QString> loaded;
    mutable std::vector<QSize> bounds;
};

} // namespace kirvan::testing
