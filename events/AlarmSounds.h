#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <set>

namespace kirvan {

class Sound;

// The sound files of the annunciation, named without a folder ("fault.wav", "alarm.wav") and
// looked up, letter case aside, in the workstation folder first and then beside the program. A
// fire alarm must never be silent for want of a file: where the file is missing or cannot be
// played, the built-in alert sounds instead, and the operator is told so once for each file.
class AlarmSounds {
public:
    static constexpr QStringView alarmName = u"alarm.wav";
    static constexpr QStringView faultName = u"fault.wav";

    AlarmSounds(Sound& sound, QStringList folders, std::function<void(const QString&)> tellOperator);

    // The file an installer chose to play for `name`, in place of looking the name up; an empty
    // path: the name is looked up again. A file that cannot be played is told anew.
    void choose(QStringView name, const QString& path);

    void playOnce(const QString& name);
    void playLooped(const QString& name);
    void stopAll();

private:
    // The file to play, or an empty path for the built-in alert.
    QString playablePath(const QString& name);
    void tellOnce(const QString& name, const QString& text);

    Sound& sound_;
    QStringList folders_;
    std::function<void(const QString&)> tellOperator_;
    std::set<QString> told_;
    std::map<QString, QString> chosen_;
};

} // namespace kirvan
