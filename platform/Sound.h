#pragma once

#include <QString>
#include <functional>

namespace kirvan {

// Wave-file playback. Every call returns at once; the sound plays on in the platform's audio
// service. One sound plays at a time: starting a sound ends the one that plays.
class Sound {
public:
    virtual ~Sound() = default;

    // An empty path plays the built-in alert tone, which needs no file.
    virtual void playOnce(const QString& path) = 0;
    // Plays until stopAll() or the next sound.
    virtual void playLooped(const QString& path) = 0;
    virtual void stopAll() = 0;

    // Whether there is a device to play on; without one every sound is silence.
    virtual bool hasOutputDevice() const = 0;
    // Called when output devices come or go.
    virtual void setOnOutputsChanged(std::function<void()> handler) = 0;
};

} // namespace kirvan
