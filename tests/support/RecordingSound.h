#pragma once

#include "platform/Sound.h"

#include <QString>
#include <functional>
#include <vector>

namespace kirvan::testing {

// Sound that only notes what it was asked to play: "once PATH", "looped PATH" or "stop"
// (an empty PATH is the built-in alert).
class RecordingSound final : public Sound {
public:
    void playOnce(const QString& path) override { calls.push_back(QStringLiteral("once ") + path); }
    void playLooped(const QString& path) override { calls.push_back(QStringLiteral("looped ") + path); }
    void stopAll() override { calls.push_back(QStringLiteral("stop")); }
    bool hasOutputDevice() const override { return device; }
    void setOnOutputsChanged(std::function<void()> handler) override { onOutputsChanged = std::move(handler); }

    std::vector<QString> calls;
    bool device = true;
    std::function<void()> onOutputsChanged;
};

} // namespace kirvan::testing
