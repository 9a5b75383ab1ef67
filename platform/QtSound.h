#pragma once

#include "platform/Sound.h"

#include <QTemporaryFile>
#include <map>
#include <memory>

class QSoundEffect;

namespace kirvan {

// Sound on Qt Multimedia. Each file is loaded once and kept, so that the alarm restarting every
// second does not read its file every second. Without an audio device the effects still load
// and "play" silently, so the program runs the same on a machine without a sound card.
class QtSound final : public Sound {
public:
    QtSound();
    ~QtSound() override;

    void playOnce(const QString& path) override;
    void playLooped(const QString& path) override;
    void stopAll() override;

private:
    void play(const QString& path, int loops);
    QSoundEffect& effectFor(const QString& path);
    // The built-in alert, written to a temporary file the first time it is needed.
    QString alertFile();

    std::map<QString, std::unique_ptr<QSoundEffect>> effects_;
    std::unique_ptr<QTemporaryFile> alert_;
};

} // namespace kirvan
