#include "platform/QtSound.h"

#include "platform/AlertTones.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

namespace kirvan {

QtSound::QtSound() : devices_(std::make_unique<QMediaDevices>())
{
    QObject::connect(devices_.get(), &QMediaDevices::audioOutputsChanged, devices_.get(), [this] {
        if (onOutputsChanged_)
            onOutputsChanged_();
    });
}

QtSound::~QtSound()
{
    stopAll();
}

bool QtSound::hasOutputDevice() const
{
    return !QMediaDevices::audioOutputs().isEmpty();
}

void QtSound::setOnOutputsChanged(std::function<void()> handler)
{
    onOutputsChanged_ = std::move(handler);
}

void QtSound::playOnce(const QString& path)
{
    play(path, 1);
}

void QtSound::playLooped(const QString& path)
{
    play(path, QSoundEffect::Infinite);
}

void QtSound::stopAll()
{
    for (auto& [path, effect] : effects_)
        effect->stop();
}

// A sound played again starts from its beginning, and it replaces any other sound.
void QtSound::play(const QString& path, int loops)
{
    const QString file = path.isEmpty() ? alertFile() : path;
    if (file.isEmpty())
        return;
    stopAll();
    QSoundEffect& effect = effectFor(file);
    effect.setLoopCount(loops);
    effect.play();
}

QSoundEffect& QtSound::effectFor(const QString& path)
{
    auto& effect = effects_[path];
    if (!effect) {
        effect = std::make_unique<QSoundEffect>();
        effect->setSource(QUrl::fromLocalFile(path));
    }
    return *effect;
}

QString QtSound::alertFile()
{
    if (!alert_) {
        auto file = std::make_unique<QTemporaryFile>();
        file->setFileTemplate(file->fileTemplate() + QStringLiteral(".wav"));
        if (!file->open() || file->write(waveFileBytes(tones::builtInAlert())) < 0 || !file->flush())
            return {};
        alert_ = std::move(file);
    }
    return alert_->fileName();
}

} // namespace kirvan
