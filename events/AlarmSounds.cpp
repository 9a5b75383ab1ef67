#include "events/AlarmSounds.h"

#include "files/PathCase.h"
#include "platform/Sound.h"
#include "platform/WaveFile.h"

#include <QDir>
#include <QFileInfo>

namespace kirvan {

AlarmSounds::AlarmSounds(Sound& sound, QStringList folders, std::function<void(const QString&)> tellOperator)
    : sound_(sound), folders_(std::move(folders)), tellOperator_(std::move(tellOperator))
{}

void AlarmSounds::playOnce(const QString& name)
{
    sound_.playOnce(playablePath(name));
}

void AlarmSounds::playLooped(const QString& name)
{
    sound_.playLooped(playablePath(name));
}

void AlarmSounds::stopAll()
{
    sound_.stopAll();
}

void AlarmSounds::choose(QStringView name, const QString& path)
{
    const QString key = name.toString();
    if (path.isEmpty())
        chosen_.erase(key);
    else
        chosen_[key] = path;
    told_.erase(key);
}

// The installer's choice, else the first folder that has the file decides: a damaged file the
// installer put into the workstation folder is reported, not quietly replaced by the program's own.
QString AlarmSounds::playablePath(const QString& name)
{
    QString path;
    if (const auto chosen = chosen_.find(name); chosen != chosen_.end())
        path = chosen->second;
    for (qsizetype i = 0; path.isEmpty() && i < folders_.size(); ++i) {
        const QString candidate = resolvePathCase(QDir(folders_[i]).filePath(name));
        if (QFileInfo::exists(candidate))
            path = candidate;
    }
    if (path.isEmpty()) {
        tellOnce(name, QStringLiteral("ВНИМАНИЕ! НЕ НАЙДЕН ЗВУКОВОЙ ФАЙЛ %1: ЗВУЧИТ ВСТРОЕННЫЙ СИГНАЛ").arg(name));
        return {};
    }
    if (isPlayableWaveFile(path))
        return path;
    tellOnce(name, QStringLiteral("ВНИМАНИЕ! НЕ ЧИТАЕТСЯ ЗВУКОВОЙ ФАЙЛ %1: ЗВУЧИТ ВСТРОЕННЫЙ СИГНАЛ").arg(path));
    return {};
}

void AlarmSounds::tellOnce(const QString& name, const QString& text)
{
    if (told_.insert(name).second && tellOperator_)
        tellOperator_(text);
}

} // namespace kirvan
