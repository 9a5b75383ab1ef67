#pragma once

#include "platform/PictureLoader.h"

#include <QFileInfo>
#include <QMap>
#include <QStringList>
#include <condition_variable>
#include <mutex>
#include <vector>

namespace kirvan::testing {

// Reads no file: every existing file is a blank picture of a fixed size, except those given an
// error in advance. Records what it was asked to read. Called on the plan pictures' worker
// thread; the test reads the records once the result has been handed to the main thread. A file
// named in `endless` is read until the read is abandoned.
class ScriptedPictureLoader final : public PictureLoader {
public:
    Result load(const QString& path, QSize bound, std::stop_token stop = {}) const override
    {
        {
            std::lock_guard lock(mutex);
            loaded.push_back(path);
            bounds.push_back(bound);
        }
        if (endless.contains(QFileInfo(path).fileName())) {
            std::mutex waiting;
            std::condition_variable_any abandoned;
            std::unique_lock lock(waiting);
            abandoned.wait(lock, stop, [] { return false; });
            return {QImage(), QStringLiteral("чтение прервано")};
        }
        if (errors.contains(QFileInfo(path).fileName()))
            return {QImage(), errors.value(QFileInfo(path).fileName())};
        QImage picture(size, QImage::Format_RGB32);
        picture.fill(Qt::white);
        return {picture, {}};
    }

    QSize size{320, 200};
    // File name → the reader's complaint.
    QMap<QString, QString> errors;
    QStringList endless;
    mutable std::mutex mutex;
    mutable std::vector<QString> loaded;
    mutable std::vector<QSize> bounds;
};

} // namespace kirvan::testing
