#pragma once

#include "platform/Sound.h"

#include <QTemporaryFile>
#include <map>
#include <memory>

class QMediaDevices;
class QSoundEffect;

namespace kirvan {

// Sound on Qt Multimedia. Each file is loaded once and kept, so that the alarm restarting every
// second does not read its file every second. Without an audio device the effects still load
// and "play" silently; hasOutputDevice() lets the workstation tell the operator so.
class QtSound final : public Sound {
public:
    QtSound();
    ~QtSound() override;

    void playOnce(const QString& path) override;
    void playLooped(const QString& path) override;
    void stopAll() override;
    bool hasOutputDevice() const override;
    void setOnOutputsChanged(std::function<void()> handler) override;

private:
    void play(const QString& path, int loops);
    QSoundEffect& effectFor(const QString& path);
    // The built-in alert, written to a temporary file the first time it is needed.
    QString alertFile();

    std::map<QString, std::unique_ptr<QSoundEffect>> effects_;
    std::unique_ptr<QTemporaryFile> alert_;
    std::unique_ptr<QMediaDevices> devices_;
    std::function<void()> onOutputsChanged_;
};

} // namespace kirvan
